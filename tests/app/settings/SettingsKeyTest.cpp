#include "app/settings/SettingsView.h"
#include "fakes/FakePlatform.h"
#include "fakes/PrivateKeyring.h"
#include "fakes/QtApp.h"
#include "keystore/APIKeyStore.h"
#include "platform/secret/LibsecretStore.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace velloq;
using namespace velloq::testing;

namespace {

// The key field against the session's real Secret Service.
class SettingsKeyTest : public PrivateKeyringTest {
protected:
    void SetUp() override {
        PrivateKeyringTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        qtApp();
        auto services = platform::installed();
        services.secrets = &keyring;
        platform::install(services);
        ignoreFailure(APIKeyStore::deleteAPIKey(), "each case starts without a key");
    }
    void TearDown() override {
        view.reset();
        ignoreFailure(APIKeyStore::deleteAPIKey(), "the user's key is never left behind");
    }

    QLineEdit* openField() {
        view = std::make_unique<SettingsView>(SettingsServices{});
        view->show();
        return view->findChild<QLineEdit*>("apiKey");
    }
    std::optional<std::string> stored() {
        return keyring.find({"dev.ordwin.velloq", "apiKey"}).value();
    }

    FakePlatform fakes;
    platform::LibsecretStore keyring;
    std::unique_ptr<SettingsView> view;
};

} // namespace

TEST_F(SettingsKeyTest, TypedKeyIsStoredTrimmedAndClearingTheFieldDeletesIt) {
    QLineEdit* field = openField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->echoMode(), QLineEdit::Password) << "hidden by default";
    QTest::keyClicks(field, "  sk-live 42\t ");
    EXPECT_EQ(stored(), "sk-live 42") << "trimmed at both ends, inner space kept";

    // Reopened, the field shows the stored key, still hidden.
    field = openField();
    EXPECT_EQ(field->text(), "sk-live 42");
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
    auto* reveal = view->findChild<QToolButton*>("revealKey");
    QTest::mouseClick(reveal, Qt::LeftButton);
    EXPECT_EQ(field->echoMode(), QLineEdit::Normal);
    QTest::mouseClick(reveal, Qt::LeftButton);
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);

    field->selectAll();
    QTest::keyClicks(field, "   ");
    EXPECT_EQ(stored(), std::nullopt) << "only spaces delete the key";
    QTest::keyClicks(field, "k");
    EXPECT_EQ(stored(), "k");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(stored(), std::nullopt) << "an empty field deletes the key";
    EXPECT_EQ(APIKeyStore::loadAPIKey(), std::nullopt);
}
