#include <gtest/gtest.h>

#include <QImage>
#include <QSet>
#include <QTest>

#include "controls/CDigi14Segment.h"
#include "controls/CDigi7Segment.h"
#include "controls/CDigiStatic.h"

namespace vornex {
namespace {

const QRgb kBackground = qRgb(0, 0, 0);
const QRgb kOn = qRgb(0, 255, 0);
const QRgb kOff = qRgb(0, 52, 0);

QImage render(CDigiStatic& display) {
    return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Which segments of a display of one 49-unit cell show lit, judged at the middle (mean of the
// outline points) of each; fails on a colour that is neither shade.
uint16_t litSegments(const QImage& image, const std::vector<CDSegment>& outlines) {
    uint16_t lit = 0;
    for (size_t i = 0; i < outlines.size(); ++i) {
        double x = 0, y = 0;
        for (const GridPoint& p : outlines[i].points()) {
            x += p.x;
            y += p.y;
        }
        const int count = outlines[i].count();
        const QRgb c = image.pixel(static_cast<int>(x / count * image.width() / 49),
                                   static_cast<int>(y / count * image.height() / 83));
        EXPECT_TRUE(c == kOn || c == kOff) << "segment " << i << " colour " << std::hex << c;
        if (c == kOn)
            lit = static_cast<uint16_t>(lit | (1u << i));
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
    EXPECT_EQ(litSegments(render(seven), CDigi7Segment::Outlines()), 0x7F);
    seven.SetText("-");
    EXPECT_EQ(litSegments(render(seven), CDigi7Segment::Outlines()), 0x08);

    CDigiStatic fourteen("-");
    fourteen.ModifyDigiStyle(0, DIGI_14SEG_DIGITS | DIGI_SOFT_OUTLINE);
    fourteen.resize(196, 332);
    EXPECT_EQ(litSegments(render(fourteen), CDigi14Segment::Outlines()), 0x00C0);
    fourteen.SetText("k");
    EXPECT_EQ(litSegments(render(fourteen), CDigi14Segment::Outlines()), 0x0354);
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

}  // namespace
}  // namespace vornex
