#pragma once
// A push button whose caption wraps over several lines, as the long element
// captions need. The caption is painted as written: its blanks are kept, and
// a long run of blanks between two words (the way the captions were laid out
// for the button's width) starts a new line.

#include <QPushButton>
#include <QStringList>

class BotonEnvolvente : public QPushButton {
public:
    using QPushButton::QPushButton;

    // The lines painted at the button's present width, in order.
    QStringList lineas() const;

protected:
    void paintEvent(QPaintEvent *) override;
};
