#include "SettingsFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

using namespace velloq;
using namespace velloq::testing;
using namespace std::chrono_literals;

namespace {

class SettingsAboutTest : public SettingsFixture {
protected:
    // The name of the update control's page on show.
    QString shown() const {
        return control<QStackedWidget>("updateControl")->currentWidget()->objectName();
    }
    void press() { QTest::mouseClick(control<QPushButton>("checkForUpdates"), Qt::LeftButton); }
    void answer(std::size_t check, UpdateCheck::Result result) {
        ASSERT_LT(check, checks.size());
        checks[check](std::move(result));
    }
};

UpdateCheck::Manifest offer() {
    return {"1.10.0", "https://example.test/velloq-1.10.0.tar.gz", std::nullopt, std::nullopt};
}

} // namespace

TEST_F(SettingsAboutTest, UpToDateShowsForTenSecondsThenTheButtonReturns) {
    open(Pane::about);
    EXPECT_EQ(shown(), "checkForUpdates");
    press();
    EXPECT_EQ(shown(), "checking");
    snapshot("About-checking");
    answer(0, UpdateCheck::Result::upToDate());
    EXPECT_EQ(shown(), "upToDate");
    snapshot("About-upToDate");
    fakes.loop.advance(9999ms);
    EXPECT_EQ(shown(), "upToDate");
    fakes.loop.advance(1ms);
    EXPECT_EQ(shown(), "checkForUpdates");
    EXPECT_TRUE(banners.empty());
}

TEST_F(SettingsAboutTest, ANewCheckKeepsTheEarlierResetFromCuttingItsOwnUpToDateShort) {
    open(Pane::about);
    press();
    answer(0, UpdateCheck::Result::upToDate());
    fakes.loop.advance(5s);
    press(); // hidden behind "Up to date", but a new check all the same
    EXPECT_EQ(shown(), "checking");
    fakes.loop.advance(3s);
    answer(1, UpdateCheck::Result::upToDate());
    fakes.loop.advance(7s); // the first check's ten seconds are over
    EXPECT_EQ(shown(), "upToDate");
    fakes.loop.advance(3s);
    EXPECT_EQ(shown(), "checkForUpdates");
    // A late answer to a superseded check changes nothing.
    answer(0, UpdateCheck::Result::available(offer()));
    EXPECT_EQ(shown(), "checkForUpdates");
}

TEST_F(SettingsAboutTest, AnOfferBecomesADownloadButtonThatOpensItsLink) {
    open(Pane::about);
    press();
    answer(0, UpdateCheck::Result::available(offer()));
    EXPECT_EQ(shown(), "download");
    auto* download = control<QPushButton>("download");
    EXPECT_EQ(download->text(), "Download v1.10.0");
    snapshot("About-available");
    QTest::mouseClick(download, Qt::LeftButton);
    EXPECT_EQ(fakes.application.openedURLs,
              std::vector<std::string>{"https://example.test/velloq-1.10.0.tar.gz"});
    fakes.loop.advance(1min);
    EXPECT_EQ(shown(), "download") << "an offer stays";
}

TEST_F(SettingsAboutTest, AFailedCheckGoesBackToTheButtonWithAnErrorBanner) {
    open(Pane::about);
    press();
    answer(0, UpdateCheck::Result::error());
    EXPECT_EQ(shown(), "checkForUpdates");
    ASSERT_EQ(banners.size(), 1u);
    EXPECT_EQ(banners[0], std::make_tuple(Severity::error, std::string("Velloq"),
                                          std::string("Couldn't check for updates.")));
}

TEST_F(SettingsAboutTest, AWindowClosedDuringACheckIgnoresItsAnswerAndReopensIdle) {
    open(Pane::about);
    press();
    view.reset();
    answer(0, UpdateCheck::Result::upToDate());
    EXPECT_EQ(fakes.loop.pendingTimers(), 0u);
    open(Pane::about);
    EXPECT_EQ(shown(), "checkForUpdates");
}

TEST_F(SettingsAboutTest, VersionLineShowsAQuestionMarkForAMissingPart) {
    settingsServices.version = "0.1.0";
    settingsServices.build = std::nullopt;
    open(Pane::about);
    EXPECT_EQ(control<QLabel>("versionLine")->text(), "Version 0.1.0 (build ?)");
    EXPECT_EQ(versionLine(std::nullopt, "12"), "Version ? (build 12)");
}
