// The colour dialog, the About window and the grading-table window.

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <thread>

#include "UiTestSupport.h"
#include "storage/ProjectProbe.h"
#include "ui/AboutForm.h"
#include "ui/ColorComboBox.h"
#include "ui/ProjectCheckProgress.h"
#include "ui/SetColorsForm.h"
#include "ui/ViewFTableForm.h"

using namespace zemvalkorta;

class SmallWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A check that takes long: the window goes on handling events, the
    // progress window comes up, and its "Отмена" ends the check.
    void CancelledCheckRefusesTheFileWhileTheWindowStaysResponsive() {
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(20);
        bool clicked = false;
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, [&clicked] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(widget);
                if (progress == nullptr || !progress->isVisible()) continue;
                for (QPushButton* button : progress->findChildren<QPushButton*>()) {
                    if (button->text() != QStringLiteral("Отмена")) continue;
                    button->click();
                    clicked = true;
                }
            }
        });
        canceller.start(50);
        const std::string result =
            RunCheckWithProgress(nullptr, QStringLiteral("Проверка"), [](const std::atomic<bool>& cancel) {
                while (!cancel.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
                return std::string(CheckCancelledText);
            });
        QCOMPARE(result, std::string(CheckCancelledText));
        QVERIFY(clicked);
        QVERIFY(ticks > 5);
    }

    void QuickCheckReturnsItsResultWithoutAProgressWindow() {
        bool shown = false;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&shown] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (qobject_cast<QProgressDialog*>(widget) != nullptr && widget->isVisible()) shown = true;
        });
        watcher.start(5);
        const std::string result = RunCheckWithProgress(
            nullptr, QStringLiteral("Проверка"), [](const std::atomic<bool>&) { return std::string("refused"); });
        QCOMPARE(result, std::string("refused"));
        QVERIFY(!shown);
    }

    void FileThatIsNoProjectIsRefusedByTheCheck() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const std::string path = folder.filePath(QStringLiteral("not-a-project.fdb")).toStdString();
        std::ofstream(path, std::ios::binary) << std::string(8192, 'x');
        QVERIFY(!CheckProjectWithProgress(nullptr, path, std::chrono::seconds(30)).empty());
    }

    void ChannelColoursOutsideTheCountAreRefused() {
        TSetColorsForm form;
        form.SetColorCount(3);
        QCOMPARE(form.ColorsGrid->rowCount(), 4);
        form.SetChannelColor(1, 0x00FF00);
        form.SetChannelColor(3, 0x123456);
        QCOMPARE(form.GetChannelColor(1), ColorValue(0x00FF00));
        QCOMPARE(form.GetChannelColor(3), ColorValue(0));
        QCOMPARE(form.GetChannelColor(-1), ColorValue(0));
    }

    void PickingAColourStoresItForTheRow() {
        TSetColorsForm form;
        form.show();
        form.SetStandardColor(0x000000);
        form.SetColorCount(3);
        form.SelectCell(2, 1);
        QVERIFY(form.ColorBox->isVisible());
        const int red = 9;
        form.ColorBox->setCurrentIndex(red);
        Q_EMIT form.ColorBox->activated(red);
        QCOMPARE(form.GetChannelColor(1), ColorValue(0x0000FF));
        QVERIFY(!form.ColorBox->isVisible());
        QCOMPARE(form.StandardColor(), ColorValue(0));
        QCOMPARE(form.ColorsGrid->item(2, 1)->background().color(), QColor(255, 0, 0));
    }

    void ColourOutsideTheListShowsNoSelection() {
        ColorComboBox box;
        box.SetColor(0x123456);
        QCOMPARE(box.currentIndex(), -1);
        box.SetColor(0xFFFF00);
        QCOMPARE(box.currentIndex(), 14);
        QCOMPARE(box.Color(), ColorValue(0xFFFF00));
    }

    void AboutShowsVersionDataAndLinks() {
        TAboutForm form;
        VersionBlock block{{QStringLiteral("FileVersion"), QStringLiteral("1.2.3.4")},
                           {QStringLiteral("CompanyEMail"), QStringLiteral("a@b.c")},
                           {QStringLiteral("CompanyWeb"), QStringLiteral("www.b.c")},
                           {QStringLiteral("CompanyPhone"), QStringLiteral("123")}};
        form.LoadVersionInfo(block);
        QCOMPARE(form.VersionLabel->text(), QStringLiteral("Версия 1.2.3.4,"));
        QCOMPARE(form.EMailLabel->text(), QStringLiteral("e-mail: a@b.c"));
        QCOMPARE(form.EMailTarget(), QStringLiteral("mailto:a@b.c"));
        QCOMPARE(form.WebTarget(), QStringLiteral("http://www.b.c"));
        QCOMPARE(form.WebLabel->text(), QStringLiteral("http://www.b.c"));
        QCOMPARE(form.PhoneLabel->text(), QStringLiteral("тел. 123"));
        // Keys the block does not hold leave their labels alone.
        QCOMPARE(form.ProductNameLabel->text(), QString());
        QVERIFY(!TAboutForm::GetVersionValue(block, QStringLiteral("Year")));
        QVERIFY(!BuildVersionInfo().value(QStringLiteral("ProductName")).isEmpty());
    }

    void GradingTableCells() {
        TViewFTableForm form;
        QTableWidget* grid = form.FTableStringGrid;
        QCOMPARE(grid->rowCount(), 7);
        QCOMPARE(grid->rowHeight(6), 0);
        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("  F25"));
        QCOMPARE(grid->item(0, 13)->text(), QStringLiteral("  F1000"));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("кубик 100 мм, бетон тяжёлый"));
        QCOMPARE(grid->item(4, 0)->text(), QStringLiteral("цилиндр d70x70 мм, бетон тяжёлый"));
        QCOMPARE(grid->item(1, 1)->text(), QStringLiteral(">3,80"));
        QCOMPARE(grid->item(1, 2)->text(), QStringLiteral("3,80-3,60"));
        QCOMPARE(grid->item(1, 13)->text(), QStringLiteral("<0,05"));
        // F1000 only in row 1; rows 4 and 5 end with a "<" range in F800 and F200.
        for (int row = 2; row <= 5; ++row) QCOMPARE(grid->item(row, 13)->text(), QString());
        QCOMPARE(grid->item(4, 12)->text(), QStringLiteral("<0,09"));
        QCOMPARE(grid->item(5, 7)->text(), QStringLiteral("<2,80"));
        for (int column = 8; column <= 13; ++column) {
            QCOMPARE(grid->item(2, column)->text(), QString());
            QCOMPARE(grid->item(5, column)->background().color(), QColor(Qt::white));
        }
        QCOMPARE(grid->item(3, 5)->text(), QString());
        QCOMPARE(grid->item(3, 6)->text(), QStringLiteral("0,50-0,25"));
        QCOMPARE(grid->item(3, 6)->background().color(), QColor(192, 220, 192));
    }

    void GradingTableClosesOnEnterAndEscape() {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            TViewFTableForm form;
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QTest::keyClick(&form, key);
            QVERIFY(!form.isVisible());
        }
    }
};

ZEMVALKORTA_UI_TEST_MAIN(SmallWindowsTest)
#include "SmallWindowsTest.moc"
