#pragma once

// The settings window: a sidebar of the five panes and the chosen pane's form
// beside it. It keeps nothing of its own: every control writes straight
// through to the defaults store or the keyring, so it can be closed at any
// moment and opens afresh.

#include "app/settings/SettingsPanes.h"
#include "app/settings/SettingsServices.h"

#include <QWidget>

class QListWidget;
class QStackedWidget;

namespace velloq {

class SettingsView final : public QWidget {
public:
    static constexpr QSize contentSize{820, 520};

    explicit SettingsView(SettingsServices services = productSettingsServices(),
                          QWidget* parent = nullptr);

    Pane selection() const;
    void select(Pane pane);
    PaneView* pane(Pane pane) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showPane(int index);

    SettingsServices services_;
    QListWidget* sidebar_;
    QStackedWidget* detail_;
};

} // namespace velloq
