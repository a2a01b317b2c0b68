#include "chooser_test_support.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

namespace testsupport {
namespace {

QListWidgetItem* Entry(QListWidget& list, const QString& text) {
    const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) {
        return nullptr;
    }
    list.scrollToItem(found.first());
    return found.first();
}

}  // namespace

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

bool ClickEntry(QListWidget& list, const QString& text) {
    const QListWidgetItem* entry = Entry(list, text);
    if (entry == nullptr) {
        return false;
    }
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(entry).center());
    return true;
}

bool DoubleClickEntry(QListWidget& list, const QString& text) {
    const QListWidgetItem* entry = Entry(list, text);
    if (entry == nullptr) {
        return false;
    }
    // What a mouse sends: a click, then a second press that arrives as a double click.
    const QPoint where = list.visualItemRect(entry).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, where);
    return true;
}

}  // namespace testsupport
