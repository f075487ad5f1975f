#include "handcursor.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

namespace {

class HandCursorFile : public ::testing::Test {
  protected:
    QString PathOf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void WriteBytes(const QString& path, const QByteArray& bytes) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray ReadBytes(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(HandCursorFile, WrittenFileIsACursorWithItsHotSpot) {
    const QString path = PathOf("finger.cur");
    ASSERT_TRUE(WriteHandCursorFile(path));
    const QByteArray bytes = ReadBytes(path);
    // Directory, one entry, bitmap header, 32 x 32 colour image and 1-bit mask.
    ASSERT_EQ(bytes.size(), 6 + 16 + 40 + 32 * 32 * 4 + 32 * 4);
    EXPECT_EQ(bytes[2], 2);  // a cursor, not an icon
    EXPECT_EQ(ReadCursorHotSpot(path), QPoint(kHandHotSpotX, kHandHotSpotY));

    QImage image;
    ASSERT_TRUE(image.loadFromData(bytes));
    ASSERT_EQ(image.size(), QSize(32, 32));
    // The fingertip is drawn where the hot spot is, and the corners are see-through.
    EXPECT_GT(qAlpha(image.pixel(kHandHotSpotX, kHandHotSpotY + 1)), 0);
    EXPECT_EQ(qAlpha(image.pixel(31, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 31)), 0);
}

TEST_F(HandCursorFile, LoadsTheImageAndTheHotSpotOfTheFile) {
    const QString path = PathOf("finger.cur");
    ASSERT_TRUE(WriteHandCursorFile(path));
    QCursor cursor = LoadHandCursor(path);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(kHandHotSpotX, kHandHotSpotY));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));

    // Another hot spot written into bytes 10 to 13 is the one the cursor gets.
    QByteArray bytes = ReadBytes(path);
    bytes[10] = 5;
    bytes[11] = 0;
    bytes[12] = 20;
    bytes[13] = 0;
    const QString moved = PathOf("moved.cur");
    WriteBytes(moved, bytes);
    EXPECT_EQ(ReadCursorHotSpot(moved), QPoint(5, 20));
    EXPECT_EQ(LoadHandCursor(moved).hotSpot(), QPoint(5, 20));
}

TEST_F(HandCursorFile, MissingOrDamagedFileGivesThePointingHand) {
    EXPECT_EQ(LoadHandCursor(PathOf("none.cur")).shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(ReadCursorHotSpot(PathOf("none.cur")).has_value());

    const QString garbage = PathOf("garbage.cur");
    WriteBytes(garbage, QByteArray("not a cursor file at all, just some text"));
    EXPECT_EQ(LoadHandCursor(garbage).shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(ReadCursorHotSpot(garbage).has_value());

    // A good header over a cut-off image.
    const QString good = PathOf("good.cur");
    ASSERT_TRUE(WriteHandCursorFile(good));
    const QString cut = PathOf("cut.cur");
    WriteBytes(cut, ReadBytes(good).left(30));
    EXPECT_EQ(LoadHandCursor(cut).shape(), Qt::PointingHandCursor);
}

TEST_F(HandCursorFile, WriteFailsIntoAMissingFolder) {
    EXPECT_FALSE(WriteHandCursorFile(PathOf("no/such/folder/finger.cur")));
}

TEST(MousePointer, NumbersGiveTheirCursors) {
    QWidget parent;
    QWidget* window = new QWidget(&parent);
    SetMousePointer(window, kPointerArrow);
    EXPECT_TRUE(window->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
    SetMousePointer(window, kPointerHourglass);
    EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
    // The default pointer is the parent's.
    parent.setCursor(Qt::CrossCursor);
    SetMousePointer(window, kPointerDefault);
    EXPECT_FALSE(window->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(window->cursor().shape(), Qt::CrossCursor);
    // No icon of its own yet.
    EXPECT_FALSE(HasMouseIcon(window));
    SetMousePointer(window, kPointerCustom);
    EXPECT_EQ(window->cursor().shape(), Qt::PointingHandCursor);
}

TEST(MousePointer, CustomPointerIsTheWindowsOwnIcon) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("finger.cur"));
    ASSERT_TRUE(WriteHandCursorFile(path));
    QWidget window;
    QWidget other;
    SetMouseIcon(&window, LoadHandCursor(path));
    EXPECT_TRUE(HasMouseIcon(&window));
    SetMousePointer(&window, kPointerCustom);
    EXPECT_EQ(window.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(window.cursor().hotSpot(), QPoint(kHandHotSpotX, kHandHotSpotY));
    SetMousePointer(&other, kPointerCustom);
    EXPECT_EQ(other.cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
