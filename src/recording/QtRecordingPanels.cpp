#include "recording/QtRecordingPanels.h"

#include "platform/Platform.h"
#include "recording/CountInRing.h"
#include "recording/PreRecordBar.h"
#include "recording/RecordingBar.h"
#include "recording/RecordingStyle.h"
#include "recording/RecPanel.h"

#include <cmath>
#include <QPointer>

namespace velloq::recording {
namespace {

// Shows the count-in number of the model.
class CountInHost final : public QWidget {
public:
    CountInHost(RecordingUIModel& model, bool translucent)
        : ring_(new CountInRing(translucent, this)) {
        ring_->setNumber(model.countdown());
        ring_->finishAnimationForTest();
        watch_ = model.observe([this, &model](RecordingUIModel::Field field) {
            if (field == RecordingUIModel::Field::countdown && model.countdown() >= 1) {
                ring_->setNumber(model.countdown());
            }
        });
        setFixedSize(CountInRing::size, CountInRing::size);
    }
    QSize sizeHint() const override { return {CountInRing::size, CountInRing::size}; }

private:
    CountInRing* ring_;
    RecordingUIModel::Subscription watch_;
};

class QtRecordingPanel final : public RecordingPanel {
public:
    explicit QtRecordingPanel(RecPanel* panel) : panel_(panel) {}
    ~QtRecordingPanel() override {
        if (panel_) {
            // It may be going away from inside one of its own event handlers.
            panel_->onEscape = nullptr;
            panel_->hide();
            panel_->deleteLater();
        }
    }
    geometry::Size fittingSize() override {
        const QSize size = panel_ ? panel_->content()->sizeHint() : QSize();
        return {static_cast<double>(size.width()), static_cast<double>(size.height())};
    }
    void present(geometry::Point origin, bool takeKeyboard) override {
        if (!panel_) {
            return;
        }
        const auto size = fittingSize();
        const auto frame =
            platform::workArea().toWindowSystem({origin.x, origin.y, size.width, size.height});
        panel_->showAt(QPoint(frame.x, frame.y));
        if (takeKeyboard && !panel_->takesKeyboard()) {
            panel_->activateWindow();
        }
    }

private:
    QPointer<RecPanel> panel_;
};

std::function<QPainterPath(QSizeF)> roundedShape(std::function<double(QSizeF)> radius) {
    return [radius](QSizeF size) { return roundedRect(QRectF(QPointF(), size), radius(size)); };
}

std::unique_ptr<RecordingPanel> wrap(QWidget* view, bool takesKeyboard, bool translucent,
                                     std::function<QPainterPath(QSizeF)> shape,
                                     std::function<void()> onEscape) {
    auto* panel = new RecPanel(view, takesKeyboard, translucent, std::move(shape));
    panel->onEscape = std::move(onEscape);
    return std::make_unique<QtRecordingPanel>(panel);
}

} // namespace

std::unique_ptr<RecordingPanel> QtRecordingPanels::preRecordBar(RecordingUIModel& model,
                                                                PreRecordActions actions,
                                                                std::function<void()> onEscape) {
    const bool translucent = platform::floatingWindows().compositing();
    return wrap(new PreRecordBar(model, settings_, std::move(actions), translucent), true,
                translucent, roundedShape([](QSizeF) { return 16.0; }), std::move(onEscape));
}

std::unique_ptr<RecordingPanel> QtRecordingPanels::countIn(RecordingUIModel& model,
                                                           std::function<void()> onEscape) {
    const bool translucent = platform::floatingWindows().compositing();
    return wrap(new CountInHost(model, translucent), true, translucent,
                roundedShape([](QSizeF size) { return size.width() / 2; }), std::move(onEscape));
}

std::unique_ptr<RecordingPanel> QtRecordingPanels::recordingBar(RecordingUIModel& model,
                                                                RecordingBarActions actions,
                                                                std::function<void()> onEscape) {
    const bool translucent = platform::floatingWindows().compositing();
    return wrap(new RecordingBar(model, std::move(actions), translucent), false, translucent,
                roundedShape([&model](QSizeF) { return model.collapsed() ? 999.0 : 16.0; }),
                std::move(onEscape));
}

} // namespace velloq::recording
