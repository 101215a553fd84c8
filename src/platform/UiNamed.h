#pragma once

#include <QString>
#include <QWidget>
#include <utility>

namespace bravel {

// A control with its name as objectName, the name tests and settings know it by.
template <typename Control>
Control* named(Control* control, const char* name) {
    control->setObjectName(QString::fromUtf8(name));
    return control;
}

// A new control of type Control, made with args and parent, named as above.
template <typename Control, typename... Args>
Control* named(QWidget* parent, const char* name, Args&&... args) {
    return named(new Control(std::forward<Args>(args)..., parent), name);
}

}  // namespace bravel
