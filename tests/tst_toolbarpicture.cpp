#include <QPainter>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "testsupport.h"

// The toolbar pictures stay readable on light and dark button faces.
class TestToolbarPicture : public QObject
{
    Q_OBJECT

    // Pixels of the picture, drawn on the button face, that stand out from it.
    static int standingOut(const QPixmap &picture, const QColor &face)
    {
        QImage image(picture.size(), QImage::Format_RGB32);
        image.fill(face);
        image.setDevicePixelRatio(picture.devicePixelRatio());
        QPainter painter(&image);
        painter.drawPixmap(0, 0, picture);
        painter.end();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                const int dr = pixel.red() - face.red(), dg = pixel.green() - face.green(),
                          db = pixel.blue() - face.blue();
                if (dr * dr + dg * dg + db * db >= 120 * 120)
                    ++count;
            }
        }
        return count;
    }

private slots:
    void readable_data()
    {
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("light") << QColor("#efefef") << QColor("#000000") << 1.0;
        QTest::newRow("dark") << QColor("#303030") << QColor("#f0f0f0") << 1.0;
        QTest::newRow("dark, scaled twice") << QColor("#303030") << QColor("#f0f0f0") << 2.0;
        QTest::newRow("dark blue") << QColor("#1e2a3a") << QColor("#dde6f0") << 1.0;
    }
    void readable()
    {
        QFETCH(QColor, face);
        QFETCH(QColor, text);
        QFETCH(qreal, ratio);
        TestSupport::Program program;
        QPalette palette = program.main()->palette();
        palette.setColor(QPalette::Button, face);
        palette.setColor(QPalette::ButtonText, text);
        program.main()->setPalette(palette); // as a theme change does
        int pictures = 0;
        for (QToolButton *button : program.buttons()) {
            if (!button->text().isEmpty())
                continue;
            ++pictures;
            const QPixmap picture = button->icon().pixmap(button->iconSize(), ratio);
            QCOMPARE(picture.devicePixelRatio(), ratio);
            // An eighth of the picture's area at least, whatever the scale: on a
            // dark face the outline of a black shape is what shows it.
            const int area = picture.width() * picture.height();
            QVERIFY2(standingOut(picture, face) * 8 >= area, qPrintable(button->objectName()));
        }
        QCOMPARE(pictures, 11);
    }
};

QTEST_MAIN(TestToolbarPicture)
#include "tst_toolbarpicture.moc"
