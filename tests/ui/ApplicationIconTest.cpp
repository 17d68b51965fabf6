// The icon the client's windows carry: the build renders the SVG drawing into every size, and
// each picture is the drawing (a rounded square with the chart), not an empty or flat image.
#include <gtest/gtest.h>

#include <QImage>
#include <QSet>

#include "TestApplication.h"
#include "ui/icon/ApplicationIcon.h"

namespace qelt {
namespace {

using test::App;

TEST(ApplicationIcon, EverySizeIsTheDrawingRenderedAtThatSize) {
    App();
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        // The picture of that size itself, not another one scaled.
        const QImage image(QStringLiteral(":/icons/%1x%1/apps/qelt.png").arg(size));
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "rounded corner";
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0) << "rounded corner";
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << "the square is opaque";
        QSet<QRgb> colours;
        for (int y = 0; y < size; y += 2)
            for (int x = 0; x < size; x += 2) colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 8) << "the chart is drawn on the square";
    }
}

}  // namespace
}  // namespace qelt
