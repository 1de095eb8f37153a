#pragma once

#include "FormWindow.h"

class QTimer;

// The splash: stands for two ticks of its timer while the other windows are created hidden
// behind it, then gives way to the main bar.
class Sarrera : public FormWindow {
    Q_OBJECT

public:
    Sarrera();

    QTimer* Timi = nullptr;

    void Form_Activate() override;
    void Timi_Timer();

protected:
    void showEvent(QShowEvent* event) override;

private:
    qint16 SplashTicks = 0;
};
