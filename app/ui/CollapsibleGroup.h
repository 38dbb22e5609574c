#pragma once

// A group of the design panel that opens and closes under its bold title.
// Whether it is open is a settings key: a click stores the new state, and a
// change of the key from anywhere (a reset) opens or closes the group.

// Qt and the standard library first: moc needs their configuration before
// it reads the settings headers.
#include <QString>
#include <QWidget>
#include <memory>

#include "settings-store/qt/WidgetBinding.h"

class QToolButton;

namespace Tessivo::ui {

class CollapsibleGroup : public QWidget {
    Q_OBJECT
public:
    CollapsibleGroup(const QString& title, const Defaults::Key<bool>& expanded, QWidget* parent = nullptr);

    // The group's content; add rows to its layout.
    QWidget* content() const { return content_; }
    QToolButton* header() const { return header_; }
    bool isExpanded() const;

private:
    void showExpanded(bool expanded);

    QToolButton* header_;
    QWidget* content_;
    std::unique_ptr<Defaults::WidgetBinding> binding_;
};

} // namespace Tessivo::ui
