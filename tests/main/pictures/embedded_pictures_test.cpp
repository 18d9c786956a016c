#include "main/embedded_pictures.h"

#include <gtest/gtest.h>

#include "main/jpeg_file.h"
#include "main/picture_error.h"
#include "tests/main/pictures/test_pictures.h"

namespace main_window {
namespace {

TEST(EmbeddedPictures, HoldTheToolBarPicturesAndTheProgramIcon) {
    for (const char* name :
         {"star_full_ico.jpg", "star_full_hover_ico.jpg", "star_full_active_ico.jpg",
          "info_blue_ico.jpg", "info_hover_ico.jpg", "info_active_ico.jpg", "left_blue_ico.jpg",
          "left_gray_ico.jpg", "left_hover_ico.jpg", "left_active_ico.jpg", "right_blue_ico.jpg",
          "right_gray_ico.jpg", "right_hover_ico.jpg", "right_active_ico.jpg",
          "refresh_blue_ico.jpg", "refresh_hover_ico.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(EmbeddedPicture(name), ReadJpegFile(pictures_test::SourcePicture(name)));
    }
    EXPECT_THROW(EmbeddedPicture("no_such_ico.jpg"), PictureError);

    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage large = icon.pixmap(QSize(64, 64)).toImage();
    EXPECT_EQ(large.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0);                           // transparent corner
    EXPECT_GT(qBlue(large.pixel(10, 32)), qRed(large.pixel(10, 32)));  // blue face
}

}  // namespace
}  // namespace main_window
