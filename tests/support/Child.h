#pragma once
// Tests reach a window's controls the way the language texts and the outside
// checks do: by object name. A missing control fails the test that asked.
#include <stdexcept>
#include <string>
#include <type_traits>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QWidget>

// The control of class T named `name` among the objects `owner` holds; of
// several, the one in the owner's own window (a child dialog may reuse a name).
template <class T>
T* Child(const QObject& owner, const char* name)
{
    const QList<T*> found = owner.findChildren<T*>(QString::fromLatin1(name));
    if constexpr (std::is_base_of_v<QWidget, T>) {
        if (const auto* window = qobject_cast<const QWidget*>(&owner))
            for (T* c : found)
                if (c->window() == window->window()) return c;
    }
    if (!found.isEmpty()) return found.front();
    throw std::runtime_error(std::string("no control named ") + name);
}
