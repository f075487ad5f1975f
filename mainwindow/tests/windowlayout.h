#pragma once
// A check of a window's layout that the window tests share.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QWidget>

// Every control lies inside its window and shows its whole text. With FRETLYN_SCREENSHOTS set
// to a folder, the windows are also saved there as pictures to look at.
inline void ExpectControlsFit(QWidget& window, const char* name) {
    window.show();
    QApplication::processEvents();
    const QRect inside = window.rect();
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isHidden()) continue;
        EXPECT_TRUE(inside.contains(child->geometry()))
            << name << ": " << child->objectName().toStdString();
        const bool wraps = qobject_cast<QLabel*>(child) && qobject_cast<QLabel*>(child)->wordWrap();
        if ((qobject_cast<QLabel*>(child) && !wraps) || qobject_cast<QCheckBox*>(child)) {
            EXPECT_LE(child->sizeHint().width(), child->width())
                << name << ": " << child->objectName().toStdString() << " is cut off";
        }
        if (wraps) {
            EXPECT_LE(child->heightForWidth(child->width()), child->height())
                << name << ": " << child->objectName().toStdString() << " is cut off below";
        }
    }
    const QByteArray folder = qgetenv("FRETLYN_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') +
                           QLatin1String(name) + QStringLiteral(".png"));
    window.hide();
}

