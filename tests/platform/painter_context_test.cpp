#include "platform/page_devices.h"
#include "platform/printing.h"
#include "platform/painter_context.h"

#include "tests/support/temp_dir.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <gtest/gtest.h>

#include <memory>

namespace torvex {
namespace {

// Fonts need a GUI application; one lives for the whole test run.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "torvex_platform_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};

const auto* const kGuiEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

bool isInk(QRgb pixel) { return qGray(pixel) < 128; }

// Bounding box of the dark pixels of an image.
QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

FontDescription arialOfHeight(int height, int escapement = 0) {
    FontDescription font = initialChartFont();
    font.height = height;
    font.escapement = escapement;
    return font;
}

QImage paintOnImage(const PagePainter& paint) { return renderPageImage(paint, 300, 300); }

TEST(PainterContext, TextIsPlacedByItsTopLeftCornerAndMeasuredByCellHeight) {
    TextSize size;
    const QImage image = paintOnImage([&](DrawingContext& dc) {
        dc.selectFont(arialOfHeight(40));
        size = dc.textExtent("HHHH");
        dc.textOut(50, 60, "HHHH");
    });
    EXPECT_NEAR(size.height, 40, 1);
    const QRect box = inkBox(image);
    ASSERT_FALSE(box.isNull());
    EXPECT_GE(box.left(), 50);
    EXPECT_LE(box.right(), 50 + size.width);
    EXPECT_GT(box.top(), 60);  // capitals start below the internal leading
    EXPECT_LT(box.bottom(), 60 + size.height);
}

TEST(PainterContext, TerminatorAddsTheDefaultGlyphWidth) {
    paintOnImage([](DrawingContext& dc) {
        dc.selectFont(arialOfHeight(26));
        const int glyph = dc.defaultGlyphWidth();
        EXPECT_GT(glyph, 0);
        EXPECT_EQ(dc.textExtentWithTerminator("S").width, dc.textExtent("S").width + glyph);
    });
}

TEST(PainterContext, EscapementNineHundredRunsTextBottomToTopFromTheCorner) {
    TextSize size;
    const QImage image = paintOnImage([&](DrawingContext& dc) {
        dc.selectFont(arialOfHeight(30, 900));
        size = dc.textExtent("Temperature");
        dc.textOut(100, 250, "Temperature");
    });
    const QRect box = inkBox(image);
    ASSERT_FALSE(box.isNull());
    // Turned about (100, 250): the text rises from there, its cell lying to
    // the right of x = 100.
    EXPECT_GT(box.height(), 3 * box.width());
    EXPECT_LE(box.bottom(), 250);
    EXPECT_GE(box.top(), 250 - size.width - 1);
    EXPECT_GE(box.left(), 100);
    EXPECT_LE(box.right(), 100 + size.height);
}

// Changes between ink and paper along one image row.
int inkChanges(const QImage& image, int y, int x0, int x1) {
    int changes = 0;
    for (int x = x0 + 1; x <= x1; ++x) {
        if (isInk(image.pixel(x, y)) != isInk(image.pixel(x - 1, y))) ++changes;
    }
    return changes;
}

TEST(PainterContext, StyledPensLeaveGapsAndSolidPensDoNot) {
    const QImage image = paintOnImage([](DrawingContext& dc) {
        const Pen styles[] = {{PenStyle::Solid, 1, {}},
                              {PenStyle::Dash, 1, {}},
                              {PenStyle::Dot, 1, {}},
                              {PenStyle::DashDotDot, 1, {}},
                              {PenStyle::Null, 1, {}}};
        int y = 20;
        for (const Pen& pen : styles) {
            ScopedPen scoped(dc, pen);
            dc.line(10, y, 290, y);
            y += 20;
        }
    });
    EXPECT_EQ(inkChanges(image, 20, 20, 280), 0);
    EXPECT_TRUE(isInk(image.pixel(150, 20)));
    EXPECT_GE(inkChanges(image, 40, 20, 280), 10);   // dashes of 18 + 6
    EXPECT_GE(inkChanges(image, 60, 20, 280), 40);   // dots of 3 + 3
    EXPECT_GE(inkChanges(image, 80, 20, 280), 30);   // dash, dot, dot
    EXPECT_FALSE(isInk(image.pixel(150, 100)));      // null pen
}

TEST(PainterContext, OpaqueTextFillsItsCellAndRectanglesUseTheBrush) {
    const QImage image = paintOnImage([](DrawingContext& dc) {
        dc.selectFont(arialOfHeight(30));
        dc.setBackgroundColour(Rgb{0, 0, 255});
        dc.textOut(10, 10, "i");  // opaque is the default
        dc.setBackgroundMode(BackgroundMode::Transparent);
        dc.textOut(10, 60, "i");
        ScopedBrush brush(dc, Brush{BrushStyle::Solid, Rgb{0, 200, 0}});
        ScopedPen pen(dc, Pen{PenStyle::Solid, 2, Rgb{100, 100, 100}});
        dc.rectangle(100, 100, 200, 200);
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        dc.drawImage(Rect{250, 250, 290, 270}, red);  // stretched to 40 x 20
    });
    EXPECT_EQ(image.pixelColor(11, 11), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(11, 61), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(150, 150), QColor(0, 200, 0));
    EXPECT_EQ(image.pixelColor(100, 150), QColor(100, 100, 100));
    EXPECT_EQ(image.pixelColor(201, 150), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(289, 269), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(290, 260), QColor(Qt::white));
}

TEST(PageDevices, PngPdfAndSvgPagesAreWrittenWhole) {
    test::TempDir dir;
    DeviceSize pdfDevice;
    TextSize text;
    const PagePainter frame = [&](DrawingContext& dc) {
        pdfDevice = dc.deviceSize();
        dc.selectFont(arialOfHeight(100));
        text = dc.textExtent("Axial");
        const DeviceSize size = dc.deviceSize();
        dc.rectangle(1, 1, size.dotsAcross - 2, size.dotsDown - 2);
    };
    const QString png = QString::fromStdString(dir.file("page.png"));
    ASSERT_TRUE(renderPageToPng(frame, 400, 272, png));
    const QImage back(png);
    EXPECT_EQ(back.size(), QSize(400, 272));
    EXPECT_TRUE(isInk(back.pixel(1, 100)));

    const QString pdf = QString::fromStdString(dir.file("page.pdf"));
    ASSERT_TRUE(renderPageToPdf(frame, pdf, QPageLayout::Portrait, 300));
    EXPECT_EQ(dir.read("page.pdf").substr(0, 5), "%PDF-");
    EXPECT_NEAR(pdfDevice.dotsAcross, 2480, 1);
    EXPECT_NEAR(pdfDevice.dotsDown, 3508, 1);
    EXPECT_EQ(pdfDevice.millimetresAcross, 210);
    EXPECT_EQ(pdfDevice.millimetresDown, 297);
    // Font heights are device units on paper too: 100 dots, not 100 points.
    EXPECT_NEAR(text.height, 100, 1);

    const QString svg = QString::fromStdString(dir.file("page.svg"));
    ASSERT_TRUE(renderPageToSvg(frame, 400, 272, svg, "Axial"));
    const std::string drawing = dir.read("page.svg");
    EXPECT_NE(drawing.find("<title>Axial</title>"), std::string::npos);
    EXPECT_NE(drawing.find("</svg>"), std::string::npos);
}

TEST(PageDevices, APrintedPageIsOneDocumentNamedReadme) {
    test::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("printed.pdf")));
    DeviceSize seen;
    ASSERT_TRUE(printPage(printer, [&](DrawingContext& dc) {
        seen = dc.deviceSize();
        dc.textOut(100, 100, "page");
    }));
    EXPECT_EQ(printer.docName(), "Chart page");
    EXPECT_EQ(dir.read("printed.pdf").substr(0, 5), "%PDF-");
    // The printer reports its printable area in dots and millimetres, from
    // which the chart page is laid out.
    EXPECT_GT(seen.dotsAcross, 0);
    EXPECT_GT(seen.millimetresAcross, 0);
    EXPECT_NEAR(static_cast<double>(seen.dotsAcross) / seen.millimetresAcross, printer.resolution() / 25.4, 1.0);
}

TEST(PageDevices, AnUnwritablePathFailsWithAReasonAndNoFile) {
    test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("missing/folder/page.png"));
    QString error;
    EXPECT_FALSE(renderPageToPng([](DrawingContext&) {}, 10, 10, path, &error));
    EXPECT_TRUE(error.contains("page.png"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(renderPageToPdf([](DrawingContext&) {}, path + ".pdf", QPageLayout::Landscape, 300, &error));
    EXPECT_FALSE(QFile::exists(path + ".pdf"));
    EXPECT_FALSE(renderPageToSvg([](DrawingContext&) {}, 10, 10, path + ".svg", "page", &error));
    EXPECT_TRUE(error.contains("page.png.svg"));
    EXPECT_FALSE(QFile::exists(path + ".svg"));
}

} // namespace
} // namespace torvex
