#include "linux/qt/accessible_widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "linux/qt/click_label.h"
#include "shell/accessibility.h"
#include "shell/layout.h"

namespace tarnwick {
namespace {

// A picture that opens a page: a link whose press action clicks it. Everything else (name,
// description, state, focus) is Qt's widget object's.
class AccessibleLink final : public QAccessibleWidget {
 public:
  explicit AccessibleLink(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.linked = true;
    return state;
  }
  QStringList actionNames() const override {
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != pressAction()) {
      QAccessibleWidget::doAction(action);
      return;
    }
    static_cast<ClickLabel*>(widget())->Click();
  }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  // A plain top-level widget is a "filler" to Qt; the main window is a frame, named by its
  // title.
  if (widget->isWindow() && widget->objectName() == QLatin1String(kForm1Window.name)) {
    return new QAccessibleWidget(widget, QAccessible::Window);
  }
  if (widget->isWindow()) return nullptr;
  const AccessibleRow* row = FindAccessible(widget->window()->objectName().toStdString(),
                                            widget->objectName().toStdString());
  auto* label = dynamic_cast<ClickLabel*>(widget);
  if (row && row->role == AccessibleRole::kLink && label) return new AccessibleLink(label);
  return nullptr;
}

}  // namespace

void InstallAccessibleWidgets() {
  static const bool installed = [] {
    QAccessible::installFactory(&Factory);
    return true;
  }();
  (void)installed;
}

}  // namespace tarnwick
