#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "controls/Icons.h"

namespace vornex {
namespace {

TEST(Icons, EveryProgramIconRendersAndUnknownNumbersGiveNone) {
    for (int number : {128, 313, 315, 316, 317, 318, 319, 321, 322}) {
        const QIcon icon = vornexIcon(number);
        ASSERT_FALSE(icon.isNull()) << number;
        const QImage image = icon.pixmap(32, 32).toImage();
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                opaque += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 32 * 32 / 10) << "icon " << number << " draws almost nothing";
    }
    EXPECT_TRUE(vornexIcon(314).isNull());
    EXPECT_TRUE(iconPath(0).isEmpty());
}

}  // namespace
}  // namespace vornex
