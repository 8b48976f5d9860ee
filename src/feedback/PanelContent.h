#pragma once

#include <QWidget>

namespace velloq {

// A view a floating panel can host: it paints its own rounded background and
// sizes the panel through its size hint.
class PanelContent : public QWidget {
public:
    using QWidget::QWidget;
    // The radius of the rounded background, for the panel's window mask.
    virtual double cornerRadius() const = 0;
    // See-through background only where a compositor shows it so.
    void setTranslucent(bool translucent) {
        translucent_ = translucent;
        update();
    }
    bool translucent() const { return translucent_; }

private:
    bool translucent_ = false;
};

} // namespace velloq
