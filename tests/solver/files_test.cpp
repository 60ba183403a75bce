#include "solver/files.h"
#include "solver/result_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace torvex {
namespace {

// The solver's reading of dir/ip.dat into the state and the raw inputs.
bool readInputsInto(const test::TempDir& dir, SolverState& s, float& d, float& l, int& current, int& flow) {
    return readSolverInputs(dir.file("ip.dat"), s, d, l, current, flow).ok;
}

TEST(InputParameterFile, ReadsBackWhatTheInputDialogWrites) {
    test::TempDir dir;
    ASSERT_TRUE(writeInputParameters(dir.file("ip.dat"), VariantInputs{1, 6.0, 30.0, 400, 40}));
    EXPECT_EQ(dir.read("ip.dat"), " 1  6.00 30.00  400  40\n");

    auto s = std::make_unique<SolverState>();
    float d = 0, l = 0;
    int current = 0, flow = 0;
    ASSERT_TRUE(readInputsInto(dir, *s, d, l, current, flow));
    EXPECT_EQ(s->gasCode, 1);
    EXPECT_EQ(d, 6.0f);
    EXPECT_EQ(l, 30.0f);
    EXPECT_EQ(current, 400);
    EXPECT_EQ(flow, 40);

    ASSERT_TRUE(writeInputParameters(dir.file("ip.dat"), VariantInputs{12, 0.30, 0.55, 500, 70}));
    EXPECT_EQ(dir.read("ip.dat"), "12  0.30  0.55  500  70\n");
    ASSERT_TRUE(readInputsInto(dir, *s, d, l, current, flow));
    EXPECT_EQ(d, 0.30f);
    EXPECT_EQ(l, 0.55f);
}

TEST(InputParameterFile, FieldsWithoutPointTakeTwoDecimalsAndIntegersIgnoreBlanks) {
    test::TempDir dir;
    dir.write("ip.dat", " 2   640  3050  4 0 1 5\r\n");
    auto s = std::make_unique<SolverState>();
    float d = 0, l = 0;
    int current = 0, flow = 0;
    ASSERT_TRUE(readInputsInto(dir, *s, d, l, current, flow));
    EXPECT_EQ(s->gasCode, 2);
    EXPECT_EQ(d, 6.4f);
    EXPECT_EQ(l, 30.5f);
    EXPECT_EQ(current, 40);
    EXPECT_EQ(flow, 15);
}

TEST(UnitFile, WriterAndBothReadersAgree) {
    test::TempDir dir;
    ASSERT_TRUE(writeUnitCodes(dir.file("un.dat"), UnitCodes{2, 3, 2}));
    EXPECT_EQ(dir.read("un.dat"), "2 3 2 2 \n");
    UnitCodes codes;
    ASSERT_TRUE(readUnitCodes(dir.file("un.dat"), codes));
    EXPECT_EQ(codes.length, 2);
    EXPECT_EQ(codes.temperature, 3);
    EXPECT_EQ(codes.flow, 2);
    auto s = std::make_unique<SolverState>();
    ASSERT_TRUE(readSolverUnits(dir.file("un.dat"), *s).ok);
    EXPECT_EQ(s->lengthUnit, 2);
    EXPECT_EQ(s->temperatureUnit, 3);
    EXPECT_EQ(s->flowUnit, 2);

    // The interface reader leaves the codes alone when fewer than three digits are there.
    dir.write("un.dat", "1 1\n");
    UnitCodes kept{2, 2, 2};
    EXPECT_FALSE(readUnitCodes(dir.file("un.dat"), kept));
    EXPECT_EQ(kept.length, 2);
    EXPECT_FALSE(readUnitCodes(dir.file("missing.dat"), kept));
}

TEST(IntegralParameterFile, InchValuesAsEnteredAndOverflowAsAsterisks) {
    test::TempDir dir;
    IntegralParameters p{1, 0.30, 0.55, 500, 70, 12.4, 1000.0, 45.25, 100};
    ASSERT_TRUE(writeIntegralParameters(dir.file("iop.par"), p));
    EXPECT_EQ(dir.read("iop.par"), " 1  0.30  0.55  500  70 12.4\n*****  45.2 **\n");

    IntegralParameters back;
    ASSERT_TRUE(readIntegralParameters(dir.file("iop.par"), back));
    EXPECT_TRUE(back.voltageOverflow);
    EXPECT_TRUE(back.efficiencyOverflow);
    EXPECT_FALSE(back.powerOverflow);
    EXPECT_DOUBLE_EQ(back.arcPower, 45.2);
    EXPECT_DOUBLE_EQ(back.length, 0.55);
    EXPECT_EQ(back.current, 500);

    p.arcVoltage = 31.04;
    p.efficiencyPercent = 42;
    ASSERT_TRUE(writeIntegralParameters(dir.file("iop.par"), p));
    ASSERT_TRUE(readIntegralParameters(dir.file("iop.par"), back));
    EXPECT_FALSE(back.voltageOverflow);
    EXPECT_DOUBLE_EQ(back.arcVoltage, 31.0);
    EXPECT_EQ(back.efficiencyPercent, 42);

    dir.write("iop.par", " 1  6.00 30.00  400  40\n");
    EXPECT_FALSE(readIntegralParameters(dir.file("iop.par"), back));
}

// Numbers the writer could never have put in a field are refused before any
// conversion to int (1e300 as a gas code was undefined behaviour).
TEST(IntegralParameterFile, NumbersThatCannotStandInTheirFieldMakeTheFileUnreadable) {
    test::TempDir dir;
    const std::string second = "\n 27.1  13.5 53\n";
    for (const char* first : {"1e300  8.00 14.00  500  35  2.0", " 1  8.00 14.00 1e300  35  2.0",
                              " 1  8.00 14.00  500 -1e300  2.0", " 1  8.00 14.00 5.5  35  2.0",
                              " 3  8.00 14.00  500  35  2.0", " 1 1e99 14.00  500  35  2.0",
                              " 1  8.00 14.00  500  35  nan"}) {
        dir.write("iop.par", std::string(first) + second);
        IntegralParameters back;
        back.gasCode = 7;
        std::string fault;
        EXPECT_FALSE(readIntegralParameters(dir.file("iop.par"), back, &fault)) << first;
        EXPECT_EQ(back.gasCode, 7) << first;  // untouched
        EXPECT_NE(fault.find(dir.file("iop.par")), std::string::npos) << fault;
    }
    dir.write("iop.par", " 1  8.00 14.00  500  35  2.0\n 27.1  13.5 1e300\n");
    IntegralParameters back;
    EXPECT_FALSE(readIntegralParameters(dir.file("iop.par"), back));
}

// A diameter or length too wide for its field is written as asterisks and
// read back as not representable, never as 0 mm.
TEST(IntegralParameterFile, AsterisksInAnyFieldAreFlaggedNotRepresentable) {
    test::TempDir dir;
    IntegralParameters p{2, 123.45, 250.0, 500, 35, 2.0, 27.1, 13.5, 53};
    ASSERT_TRUE(writeIntegralParameters(dir.file("iop.par"), p));
    EXPECT_EQ(dir.read("iop.par"), " 2 ***** *****  500  35  2.0\n 27.1  13.5 53\n");
    IntegralParameters back;
    ASSERT_TRUE(readIntegralParameters(dir.file("iop.par"), back));
    EXPECT_TRUE(back.diameterOverflow);
    EXPECT_TRUE(back.lengthOverflow);
    EXPECT_FALSE(back.currentOverflow || back.flowOverflow || back.massFlowOverflow || back.voltageOverflow);
    EXPECT_EQ(back.current, 500);

    dir.write("iop.par", " 1  8.00 14.00 ****  35 ****\n 27.1  13.5 53\n");
    ASSERT_TRUE(readIntegralParameters(dir.file("iop.par"), back));
    EXPECT_TRUE(back.currentOverflow);
    EXPECT_TRUE(back.massFlowOverflow);
    EXPECT_FALSE(back.diameterOverflow);
    // A gas code is never too wide; asterisks there mean a damaged file.
    dir.write("iop.par", "**  8.00 14.00  500  35  2.0\n 27.1  13.5 53\n");
    EXPECT_FALSE(readIntegralParameters(dir.file("iop.par"), back));
}

TEST(InputParameterFile, MessagesSayWhatIsWrongWithTheLine) {
    test::TempDir dir;
    auto s = std::make_unique<SolverState>();
    float d = 0, l = 0;
    int current = 0, flow = 0;
    auto message = [&](const std::string& text) {
        dir.write("ip.dat", text);
        return readSolverInputs(dir.file("ip.dat"), *s, d, l, current, flow).message;
    };
    // A blank first line above the values is not an empty file.
    EXPECT_NE(message("\n 1  8.00 14.00  500  35\n" + std::string(2000, ' ')).find("blank first line"),
              std::string::npos);
    EXPECT_NE(message("  \n\n").find("is empty"), std::string::npos);
    const std::string stars = message(" 1 ***** 14.00  500  35\n");
    EXPECT_NE(stars.find("asterisks for the anode diameter in columns 4-8"), std::string::npos) << stars;
    EXPECT_NE(stars.find("not representable"), std::string::npos) << stars;
    EXPECT_NE(message(std::string(5000, '\n')).find("larger than 4096 bytes"), std::string::npos);
}

// The argon table with one value replaced: block (1..9), row (1..48).
std::string withValue(std::string table, int block, int row, const char* field) {
    const int index = (block - 1) * 48 + (row - 1);
    const std::size_t lineStart = [&] {
        std::size_t at = 0;
        for (int line = 0; line < index / 8; ++line) at = table.find('\n', at) + 1;
        return at;
    }();
    table.replace(lineStart + static_cast<std::size_t>(index % 8) * 10, 10, field);
    return table;
}

TEST(GasFile, ImplausiblePropertiesAreRefusedWithLineAndColumns) {
    test::TempDir dir;
    dir.copyGasFile("ar.dat");
    const std::string table = dir.read("ar.dat");
    auto s = std::make_unique<SolverState>();
    const struct {
        int block, row;
        const char* field;
        const char* says;
    } cases[] = {
        {7, 1, "0.0000E+00", "thermal conductivity of 0 W/(m K) at 300 K (line 37, columns 1-10)"},
        {5, 30, "-1.000E+05", "radiation loss of -1e+05 W/m3 at 14500 K (line 28, columns 51-60)"},
        {4, 1, "5.2033E+08", "specific heat of 5.203e+08 J/(kg K) at 300 K (line 19, columns 1-10)"},
        {3, 48, "-3.000E-03", "mass density of -0.003 kg/m3 at 23500 K (line 18, columns 71-80)"},
        {6, 10, "0.0000E+00", "viscosity of 0 Pa s at 4500 K (line 32, columns 11-20)"},
        {8, 48, "0.0000E+00", "no electrical conductivity at 23500 K (line 48, columns 71-80)"},
        {8, 2, "**********", "asterisks (line 43, columns 11-20)"},
    };
    for (const auto& c : cases) {
        dir.write("bad.dat", withValue(table, c.block, c.row, c.field));
        const ReadStatus status = readGasFile(dir.file("bad.dat"), *s);
        EXPECT_FALSE(status.ok) << c.says;
        EXPECT_NE(status.message.find(c.says), std::string::npos) << status.message;
        EXPECT_NE(status.message.find(dir.file("bad.dat")), std::string::npos) << status.message;
    }
    // Radiation that is zero everywhere is no plasma gas either.
    std::string cold = table;
    for (int row = 1; row <= 48; ++row) cold = withValue(cold, 5, row, "0.0000E+00");
    dir.write("cold.dat", cold);
    EXPECT_NE(readGasFile(dir.file("cold.dat"), *s).message.find("no radiation loss at 23500 K"), std::string::npos);
    // Every table delivered with the program passes.
    for (const char* name : {"ar.dat", "n2.dat", "ah205.dat", "ah225.dat", "ahe10.dat", "ahe50.dat"})
        EXPECT_TRUE(readGasFile(test::sourceDataFile(name), *s).ok) << name;
}

TEST(GasFile, AcceptsAnyRealNotationAndRejectsShortOrOffGridTables) {
    test::TempDir dir;
    dir.copyGasFile("ar.dat");
    std::string table = dir.read("ar.dat");
    auto s = std::make_unique<SolverState>();
    ASSERT_TRUE(readGasFile(dir.file("ar.dat"), *s).ok);
    EXPECT_EQ(s->propertyTable[1][1], 300.0f);
    EXPECT_EQ(s->propertyTable[1][48], 23500.0f);

    // 3000000 without a point: last four digits are decimals, so 300.0000.
    std::string plain = table;
    plain.replace(0, 10, "   3000000");
    dir.write("plain.dat", plain);
    ASSERT_TRUE(readGasFile(dir.file("plain.dat"), *s).ok);

    std::string offGrid = table;
    offGrid.replace(10, 10, "6.0000E+02");
    dir.write("grid.dat", offGrid);
    const ReadStatus grid = readGasFile(dir.file("grid.dat"), *s);
    EXPECT_FALSE(grid.ok);
    EXPECT_NE(grid.message.find("grid.dat"), std::string::npos);

    dir.write("short.dat", table.substr(0, table.size() / 2));
    EXPECT_FALSE(readGasFile(dir.file("short.dat"), *s).ok);
    std::string word = table;
    word.replace(200, 10, "  argon   ");
    dir.write("word.dat", word);
    EXPECT_FALSE(readGasFile(dir.file("word.dat"), *s).ok);
    EXPECT_EQ(s->propertyTable[1][2], 500.0f);  // a rejected file leaves the table alone
}

TEST(ResultFileLayout, FixedColumnsAndElevenLinesPerFieldBlock) {
    EXPECT_EQ(fixedField(3.14159, 6, 3), " 3.142");
    EXPECT_EQ(fixedField(-12.5, 5, 1), "-12.5");
    EXPECT_EQ(fixedField(123456.0, 6, 1), "******");

    test::TempDir dir;
    std::string failed;
    {
        ResultFiles files;
        ASSERT_TRUE(files.create(dir.path(), failed));
        std::array<float, 6> radii{0, 1.5f, 1.25f, 1.0f, 0.5f, 0};
        files.writeAxialRecord(10.0f, radii, 12.345f, 1234.5f);
        files.writeRadialLine(1, 0.1f, 9.5f, 512.25f);
        FieldBlock t{}, u{}, v{};
        for (int j = 1; j <= kFieldValues; ++j) t[j] = 300.0f + j;
        files.writeFieldRecord(t, u, v);
        EXPECT_TRUE(files.commit(failed)) << failed;
    }
    EXPECT_EQ(dir.read("ilt.res"), "  10.0  1.500  1.250  1.000  0.500  0.000\n");
    EXPECT_EQ(dir.read("ztu0.res"), "  10.0  12.35  1234.50\n");
    EXPECT_EQ(dir.read("rtu5.res"), "  0.1   9.50   512.25\n");
    EXPECT_EQ(dir.read("rtu0.res"), "");
    const std::string field = dir.read("ftu.res");
    EXPECT_EQ(std::count(field.begin(), field.end(), '\n'), 33);
    EXPECT_EQ(field.substr(0, 17), "   301.0   302.0 ");
    EXPECT_NE(field.find("\n   401.0\n"), std::string::npos);
}

} // namespace
} // namespace torvex
