#include "accessibility.h"

#include "widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace runtime {
namespace {

using detail::BoxWidget;
using detail::FormWindow;
using detail::LabelWidget;
using detail::PictureWidget;

// The lines of a window's summary by number: the texts of its summary
// labels, those of one line joined by a space in design order.
std::map<int, QString> summaryLines(const QWidget* form)
{
    std::map<int, QString> lines;
    for (const LabelWidget* l : form->findChildren<LabelWidget*>(Qt::FindDirectChildrenOnly)) {
        if (l->summaryLine() <= 0)
            continue;
        QString& line = lines[l->summaryLine()];
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + l->text();
    }
    return lines;
}

// Lines read one after the other: a full stop between them where a line does
// not end with a mark of its own.
QString spoken(const std::map<int, QString>& lines)
{
    QString text;
    for (const auto& [number, line] : lines) {
        if (!text.isEmpty())
            text += text.back().isPunct() ? QStringLiteral(" ") : QStringLiteral(". ");
        text += line;
    }
    return text;
}

// A screen's window, described by its summary.
class FormAccessible : public QAccessibleWidget {
public:
    explicit FormAccessible(FormWindow* form)
        : QAccessibleWidget(form, QAccessible::Window)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return spoken(summaryLines(widget()));
        return QAccessibleWidget::text(t);
    }

    // A screen being left stays the active window to a screen reader until
    // it goes: Orca 48, handling the key that made the move after the new
    // window is up, would otherwise take the new window as already active
    // and not read its description when it is told of its activation.
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (static_cast<FormWindow*>(widget())->leaving)
            s.active = true;
        return s;
    }
};

// A box, as the toolkit's own line edit would tell it, but with its text as a
// single run without attributes (the toolkit's empty run of no characters
// makes a screen reader lose the last character) and without the selection
// made by entering it with Tab.
class BoxAccessible : public QAccessibleWidget,
                      public QAccessibleTextInterface,
                      public QAccessibleEditableTextInterface {
public:
    explicit BoxAccessible(BoxWidget* box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
        addControllingSignal(QStringLiteral("returnPressed()"));
    }

    BoxWidget* box() const { return static_cast<BoxWidget*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t == QAccessible::Value)
            box()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.readOnly = box()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    // Text
    bool toldSelection() const { return box()->hasSelectedText() && !box()->selectedOnEntry(); }
    int selectionCount() const override { return toldSelection() ? 1 : 0; }
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && toldSelection()) {
            *start = box()->selectionStart();
            *end = box()->selectionEnd();
        }
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            box()->deselect();
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            box()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int start, int end) const override
    {
        return start > end ? QString() : box()->text().mid(start, end - start);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return QAccessibleTextInterface::textBeforeOffset(caret(offset), type, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return QAccessibleTextInterface::textAfterOffset(caret(offset), type, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return QAccessibleTextInterface::textAtOffset(caret(offset), type, start, end);
    }
    int characterCount() const override { return int(box()->text().size()); }
    QRect characterRect(int offset) const override
    {
        const QRect r = box()->characterRect(offset);
        return r.isNull() ? r : QRect(box()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int end) override
    {
        box()->setCursorPosition(end);
        box()->setCursorPosition(start);
    }
    QString attributes(int offset, int* start, int* end) const override
    {
        Q_UNUSED(offset);
        *start = 0;
        *end = characterCount();
        return {};
    }

    // Editable text
    void deleteText(int start, int end) override { box()->setText(box()->text().remove(start, end - start)); }
    void insertText(int offset, const QString& text) override { box()->setText(box()->text().insert(offset, text)); }
    void replaceText(int start, int end, const QString& text) override
    {
        box()->setText(box()->text().replace(start, end - start, text));
    }

private:
    int caret(int offset) const { return offset == -2 ? cursorPosition() : offset; }
};

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// A message label: plain text, named by its text and described by what its
// announcement adds. The toolkit announces it through the accessibility
// bus's own announcement, which a screen reader speaks as it is.
class MessageAccessible : public QAccessibleWidget {
public:
    explicit MessageAccessible(LabelWidget* message)
        : QAccessibleWidget(message, QAccessible::StaticText)
    {
    }
#else
// The bar a message stands in for a screen reader, so that the message is
// spoken as it is, without being called a notification. It exists only for
// assistive technology: the window does not list it among its children, and
// the message names it as its parent.
class MessageBarAccessible : public QAccessibleInterface {
public:
    explicit MessageBarAccessible(LabelWidget* message)
        : message_(message)
    {
    }

    bool isValid() const override { return message_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return message_ ? message_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return message_ ? QAccessible::queryAccessibleInterface(message_->parentWidget()) : nullptr;
    }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && message_ ? QAccessible::queryAccessibleInterface(message_.data()) : nullptr;
    }
    int childCount() const override { return message_ ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == message_ ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override { return rect().contains(x, y) ? child(0) : nullptr; }
    QString text(QAccessible::Text) const override { return {}; }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        return message_ ? QRect(message_->mapToGlobal(QPoint(0, 0)), message_->size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::StatusBar; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !message_ || !message_->isVisible();
        return s;
    }

private:
    QPointer<LabelWidget> message_;
};

// A message label, where the toolkit has no announcement of its own: a
// notification in its bar, named by its text and described by what its
// announcement adds; spoken when it shows.
class MessageAccessible : public QAccessibleWidget {
public:
    explicit MessageAccessible(LabelWidget* message)
        : QAccessibleWidget(message, QAccessible::Notification)
        , bar_(QAccessible::registerAccessibleInterface(new MessageBarAccessible(message)))
    {
    }
    ~MessageAccessible() override { QAccessible::deleteAccessibleInterface(bar_); }

    QAccessibleInterface* parent() const override { return QAccessible::accessibleInterface(bar_); }

private:
    QAccessible::Id bar_;

public:
#endif
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel*>(widget())->text();
        if (t == QAccessible::Description)
            return detail;
        return QAccessibleWidget::text(t);
    }

    QString detail;
};

// The message to be spoken once the running event procedure has returned,
// and the summary labels set since.
struct Announcement {
    QPointer<QLabel> message;
    std::vector<QPointer<LabelWidget>> retold;
    bool queued = false;
};

Announcement& announcement()
{
    static Announcement a;
    return a;
}

void sendAnnouncement()
{
    Announcement& a = announcement();
    a.queued = false;
    QLabel* label = std::exchange(a.message, nullptr);
    auto* iface = label ? dynamic_cast<MessageAccessible*>(QAccessible::queryAccessibleInterface(label)) : nullptr;
    if (!iface)
        return; // gone, or not a message label
    std::map<int, QString> lines = summaryLines(label->parentWidget());
    std::erase_if(lines, [&a](const auto& line) {
        return std::none_of(a.retold.begin(), a.retold.end(),
            [&line](const QPointer<LabelWidget>& l) { return l && l->summaryLine() == line.first; });
    });
    a.retold.clear();
    const QString detail = spoken(lines);
    if (iface->detail != detail) {
        iface->detail = detail;
        QAccessibleEvent described(label, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent said(label, detail.isEmpty() ? label->text() : label->text() + u' ' + detail);
    QAccessible::updateAccessibility(&said);
#else
    QAccessibleEvent shown(label, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#endif
}

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    Q_UNUSED(className); // the object's own class is asked first, and the kind decides
    if (auto* picture = qobject_cast<PictureWidget*>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    if (auto* form = qobject_cast<FormWindow*>(object))
        return new FormAccessible(form);
    if (auto* box = qobject_cast<BoxWidget*>(object))
        return new BoxAccessible(box);
    if (auto* label = qobject_cast<LabelWidget*>(object); label && label->isMessage())
        return new MessageAccessible(label);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(accessibleFor), true);
    Q_UNUSED(installed);
}

void announce(QLabel* message)
{
    Announcement& a = announcement();
    a.message = message;
    a.retold.clear();
    if (!std::exchange(a.queued, true))
        QMetaObject::invokeMethod(qApp, &sendAnnouncement, Qt::QueuedConnection);
}

void retell(QLabel* summary)
{
    Announcement& a = announcement();
    if (auto* label = qobject_cast<LabelWidget*>(summary); label && a.message && label->summaryLine() > 0)
        a.retold.push_back(label);
    QAccessibleEvent described(summary->parentWidget(), QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

} // namespace runtime
