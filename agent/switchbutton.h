#pragma once

#include <QAbstractButton>

// The on/off switch of the home page: a checkable track with a knob, green when on and
// red when off. A press and release of the left button inside it toggles it and emits
// clicked(checked). Its colours are merged over the widget's palette.
class SwitchButton : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY(SwitchButton)

public:
    explicit SwitchButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // The colours the switch paints with, over the given palette.
    static QPalette switchPalette(const QPalette &base);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QColor trackColor() const;

    bool m_hovered = false;
};
