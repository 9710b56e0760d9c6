// The chapter box's open list draws each entry as the closed box draws it:
// "Tb <n> " and, after the tab, the whole title at the same place.
#include "TestSupport.h"

#include "app/MainUnit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>

#include <optional>
#include <vector>

namespace {

// Where the text of one line of an image lies: its first column, the first
// column of the title after the tab, and its last column.
struct TTextColumns {
    int first;
    int title;
    int last;
};

// Text is what stands out from the line's background (taken at its left
// end), dark on light or light on a selection colour alike.
std::optional<TTextColumns> MeasureText(const QImage& image, const QRect& band) {
    const int background = qGray(image.pixel(band.left(), band.center().y()));
    std::vector<int> ink;
    for (int x = band.left(); x <= band.right(); ++x)
        for (int y = band.top(); y <= band.bottom(); ++y)
            if (std::abs(qGray(image.pixel(x, y)) - background) > 96) {
                ink.push_back(x);
                break;
            }
    if (ink.empty()) return std::nullopt;
    // Blanks between words are a few pixels; the tab leaves a wider gap.
    constexpr int TabGap = 8;
    for (size_t i = 1; i < ink.size(); ++i)
        if (ink[i] - ink[i - 1] > TabGap) return TTextColumns{ink.front(), ink[i], ink.back()};
    return std::nullopt;
}

}  // namespace

class ChapterBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(StartTrainer());
    }

    void openListDrawsEntriesAsTheClosedBox_data() {
        QTest::addColumn<int>("entry");
        QTest::newRow("Tb 1") << 0;
        QTest::newRow("Tb 5 (two blanks in the title)") << 4;
        QTest::newRow("Tb 7 (the longest title)") << 6;
        QTest::newRow("Tb 18") << 17;
    }

    void openListDrawsEntriesAsTheClosedBox() {
        QFETCH(int, entry);
        QComboBox* box = MainForm->ComboBox1;
        box->setCurrentIndex(entry);
        const QImage closed = box->grab().toImage();
        // The arrow button at the right end is no text.
        const auto closedText = MeasureText(closed, box->rect().adjusted(3, 3, -box->height() - 3, -3));
        QVERIFY(closedText.has_value());

        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
        QAbstractItemView* list = box->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        list->scrollTo(list->model()->index(entry, 0));
        QApplication::processEvents();
        const QRect row = list->visualRect(list->model()->index(entry, 0));
        const QImage open = list->viewport()->grab().toImage();
        box->hidePopup();
        const auto openText = MeasureText(open, row.adjusted(0, 1, -1, -1));
        QVERIFY(openText.has_value());

        // Glyphs stand at fractional positions: a pixel either way is the same place.
        const int titleShift = (openText->title - openText->first) - (closedText->title - closedText->first);
        const int titleWidthChange = (openText->last - openText->title) - (closedText->last - closedText->title);
        QVERIFY2(qAbs(titleShift) <= 1, qPrintable(QString::number(titleShift)));
        QVERIFY2(qAbs(titleWidthChange) <= 1, qPrintable(QString::number(titleWidthChange)));
        QCOMPARE(box->currentIndex(), entry);
    }
};

QUARZEL_TEST_MAIN(ChapterBoxTest)
#include "ChapterBoxTest.moc"
