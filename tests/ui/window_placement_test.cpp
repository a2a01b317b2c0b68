#include "ui/window_placement.h"

#include <QTest>

// The attachment window opens to the right of the main one, never off the screen.
class WindowPlacementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void besideRight_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("expected");
        // The available area is (0, 30) to (1919, 1079): a panel takes the top 30 pixels.
        QTest::newRow("room on the right") << QRect(100, 200, 500, 300) << QSize(600, 400) << QPoint(600, 200);
        QTest::newRow("too near the right edge") << QRect(1000, 200, 500, 300) << QSize(600, 400) << QPoint(1320, 200);
        QTest::newRow("too near the bottom") << QRect(100, 900, 500, 100) << QSize(600, 400) << QPoint(600, 680);
        QTest::newRow("above the available area") << QRect(100, 0, 500, 300) << QSize(600, 400) << QPoint(600, 30);
        QTest::newRow("larger than the screen") << QRect(100, 200, 500, 300) << QSize(2500, 1200) << QPoint(0, 30);
    }

    void besideRight() {
        QFETCH(QRect, anchor);
        QFETCH(QSize, size);
        QFETCH(QPoint, expected);
        QCOMPARE(ui::BesideRight(anchor, size, QRect(0, 30, 1920, 1050)), expected);
    }
};

QTEST_GUILESS_MAIN(WindowPlacementTest)
#include "window_placement_test.moc"
