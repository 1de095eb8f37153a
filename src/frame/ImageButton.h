#pragma once

#include <QIcon>
#include <QLabel>
#include <QString>

// A picture used as a push button. Any mouse button presses it; the release is reported
// wherever the pointer is by then, because the press grabs the mouse. A press shows the
// pressed picture (icon base & "1.ico") before MouseDown is emitted; the release leaves the
// picture to the window's handler, since some commands restore it only after they ran.
// From the keyboard it is reached with Tab, never by a click, so the mouse finds the focus
// where it left it: Space presses while held, as a mouse button does, and Return presses and
// releases at once.
class ImageButton : public QLabel {
    Q_OBJECT

public:
    ImageButton(QWidget* parent, const QString& iconBase, const QString& toolTip);

    [[nodiscard]] const QString& iconBase() const { return m_iconBase; }

    // The icon file the button shows now, or "" while it shows its built-in picture.
    [[nodiscard]] const QString& pictureFile() const { return m_pictureFile; }
    [[nodiscard]] QImage pictureImage() const;

    void setPicture(const QIcon& picture, const QString& fileName);

    // The keys that press a control as a click does, here and wherever one acts as a button.
    [[nodiscard]] static bool isPressKey(int key)
    {
        return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    }

signals:
    void MouseDown();
    void MouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void press();
    void showPicture();

    QString m_iconBase;
    QString m_pictureFile;
    QIcon m_picture;
    bool m_heldByKey = false;
};

// Loads irudiak/<fileName> into the button. A file that cannot be read leaves the button's
// picture as it was and is named once on standard error; the caller's command goes on.
void LoadButtonIcon(ImageButton* button, const QString& fileName);
