#include <gtest/gtest.h>

#include <QImage>
#include <QSet>
#include <QTest>

#include "Wait.h"
#include "controls/CDigi14Segment.h"
#include "controls/CDigi7Segment.h"
#include "controls/CDigiColonDotChar.h"
#include "controls/CDigiStatic.h"

namespace vornex {
namespace {

const QRgb kBackground = qRgb(0, 0, 0);
const QRgb kOn = qRgb(0, 255, 0);
const QRgb kOff = qRgb(0, 52, 0);

QImage render(CDigiStatic& display) {
    return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The pixel at the middle of a segment (mean of its outline points) of a cell drawn in rect.
QRgb segmentPixel(const QImage& image, const QRectF& rect, const CDSegment& segment,
                  int32_t gridWidth) {
    double x = 0, y = 0;
    for (const GridPoint& p : segment.points()) {
        x += p.x;
        y += p.y;
    }
    x /= segment.count();
    y /= segment.count();
    const int px = static_cast<int>(x * rect.width() / gridWidth + rect.left());
    const int py = static_cast<int>(y * rect.height() / 83 + rect.top());
    return image.pixel(px, py);
}

// Which segments of a cell in rect show lit; fails on a colour that is neither shade.
uint16_t litSegments(const QImage& image, const QRectF& rect,
                     const std::vector<CDSegment>& outlines, int32_t gridWidth) {
    uint16_t lit = 0;
    for (size_t i = 0; i < outlines.size(); ++i) {
        const QRgb c = segmentPixel(image, rect, outlines[i], gridWidth);
        EXPECT_TRUE(c == kOn || c == kOff) << "segment " << i << " colour " << std::hex << c;
        if (c == kOn) {
            lit |= 1u << i;
        }
    }
    return lit;
}

QSet<QRgb> coloursOf(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

TEST(DigiStaticTest, SegmentsLightAsTheCharactersSay) {
    // Four pixels per grid unit, so every segment centre lies well inside its outline.
    CDigiStatic seven("8");
    seven.resize(196, 332);
    const QRectF whole(0, 0, 196, 332);
    EXPECT_EQ(litSegments(render(seven), whole, CDigi7Segment::Outlines(), 49), 0x7F);
    seven.SetText("-");
    EXPECT_EQ(litSegments(render(seven), whole, CDigi7Segment::Outlines(), 49), 0x08);

    CDigiStatic fourteen("-");
    fourteen.ModifyDigiStyle(0, DIGI_14SEG_DIGITS | DIGI_SOFT_OUTLINE);
    fourteen.resize(196, 332);
    EXPECT_EQ(litSegments(render(fourteen), whole, CDigi14Segment::Outlines(), 49), 0x00C0);
    fourteen.SetText("k");
    EXPECT_EQ(litSegments(render(fourteen), whole, CDigi14Segment::Outlines(), 49), 0x0354);
}

TEST(DigiStaticTest, ValueDisplayRowIsCentredAtPanelMeterScale) {
    // The value display's style with 12.5 in 330 x 83: one pixel per unit, 165 wide, from 82.5.
    CDigiStatic display("12.5");
    display.ModifyDigiStyle(0, 0x12);
    ASSERT_EQ(display.digiStyle(), 0x16u);
    display.resize(330, 83);
    const QImage image = render(display);
    for (int y = 0; y < 83; ++y) {
        for (int x : {0, 81, 249, 329}) {
            ASSERT_EQ(image.pixel(x, y), kBackground) << x << "," << y;
        }
    }
    // Doubled in size, the cells are easy to probe: 1, 2, dot, 5.
    display.resize(660, 166);
    const QImage big = render(display);
    const auto& fourteen = CDigi14Segment::Outlines();
    EXPECT_EQ(litSegments(big, QRectF(165, 0, 98, 166), fourteen, 49), 0x1800);
    EXPECT_EQ(litSegments(big, QRectF(263, 0, 98, 166), fourteen, 49), 0x36C0);
    EXPECT_EQ(litSegments(big, QRectF(361, 0, 36, 166), CDigiColonDotChar::Outlines(), 18), 0x4);
    EXPECT_EQ(litSegments(big, QRectF(397, 0, 98, 166), fourteen, 49), 0x2DC0);
}

TEST(DigiStaticTest, CaptionStandsInForQuestionMarkAndEmptyTextIsBackground) {
    CDigiStatic a("x"), captioned("500.00");
    a.resize(300, 60);
    captioned.resize(300, 60);
    a.SetText("500.00");
    EXPECT_EQ(captioned.text(), "?");
    EXPECT_EQ(render(captioned), render(a));
    captioned.setCaption("88");
    a.SetText("88");
    EXPECT_EQ(render(captioned), render(a));

    a.SetText("");
    EXPECT_EQ(coloursOf(render(a)), QSet<QRgb>{kBackground});
    a.SetText("%_");
    EXPECT_EQ(coloursOf(render(a)), QSet<QRgb>{kBackground});
}

TEST(DigiStaticTest, SoftOutlinesBlendAQuarterOfTheBackground) {
    // A black background hides the weights; a coloured one shows them (truncated, not rounded).
    EXPECT_EQ(CDigiStatic::OutlineColor(QColor(201, 99, 0), QColor(100, 0, 41), DIGI_SOFT_OUTLINE),
              QColor(175, 74, 10));

    // Drawn, the soft edges are the only other colours; plain edges add none.
    CDigiStatic display("8.8");
    display.resize(200, 100);
    EXPECT_EQ(coloursOf(render(display)),
              (QSet<QRgb>{kBackground, kOn, kOff, qRgb(0, 191, 0), qRgb(0, 39, 0)}));
    display.ModifyDigiStyle(DIGI_SOFT_OUTLINE, 0);
    EXPECT_EQ(coloursOf(render(display)), (QSet<QRgb>{kBackground, kOn, kOff}));
}

class CountingDigiStatic : public CDigiStatic {
public:
    using CDigiStatic::CDigiStatic;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        CDigiStatic::paintEvent(event);
    }
};

class PaintProbe : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(DigiStaticTest, RepaintsOnlyWhenTheTextChanges) {
    QWidget window;
    auto* display = new CountingDigiStatic("500.00", &window);
    display->setGeometry(0, 0, 200, 50);
    // A neighbour repainted on demand: once it has painted, any pending repaint of the display
    // would have been painted in the same pass.
    auto* probe = new PaintProbe(&window);
    probe->setGeometry(0, 60, 20, 20);
    window.resize(220, 90);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto settle = [&] {
        const int before = probe->paints;
        probe->update();
        return test::waitUntil([&] { return probe->paints > before; });
    };
    ASSERT_TRUE(test::waitUntil([&] { return display->paints > 0; }));
    ASSERT_TRUE(settle());

    display->paints = 0;
    display->SetText("12.5");
    display->SetText("12.5");
    ASSERT_TRUE(settle());
    EXPECT_EQ(display->paints, 1);

    display->SetText("12.5");
    ASSERT_TRUE(settle());
    EXPECT_EQ(display->paints, 1);

    display->SetText("12.50");
    ASSERT_TRUE(settle());
    EXPECT_EQ(display->paints, 2);
}

}  // namespace
}  // namespace vornex
