#include "particles/spray_files.h"
#include "particles/spray_statistics.h"
namespace torvex::particles {
double fieldRecordDistanceMm(int) { return 0; }
double JetField::endMm() const { return 0; }
bool JetField::sample(double, double, GasPoint&) const { return false; }
GasProperties JetField::properties(double) const { return {}; }
double JetField::conductionPotential12(double, double) const { return 0; }
void prepareGasTable(JetField&) {}
FieldStatus readFieldFile(const std::string&, JetField&) { return {false, "stub"}; }
FieldStatus readJetField(const std::string&, JetField&) { return {false, "stub"}; }
const Material* MaterialTable::find(const std::string&) const { return nullptr; }
MaterialStatus readMaterialFile(const std::string&, MaterialTable&) { return {false, "stub"}; }
MaterialStatus loadMaterials(const std::string&, MaterialTable&) { return {false, "stub"}; }
SprayStatistics computeStatistics(const std::vector<ParticleResult>&) { return {}; }
Histogram histogramOf(const std::vector<ParticleResult>&, HistogramQuantity, int) { return {}; }
std::string particlesCsv(const std::vector<ParticleResult>&) { return {}; }
std::string trajectoriesCsv(const std::vector<Trajectory>&) { return {}; }
bool writeFileAtomically(const std::string&, const std::string&, const std::string&, std::string&) { return false; }
bool writeSprayFiles(const std::string&, const SprayOutcome&, std::string&) { return false; }
}
