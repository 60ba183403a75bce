// The small dialog of "Spray > Tune Injector...": what to scan (carrier-gas
// flow or a fixed injection speed), from where to where in how many steps,
// the goal (a deviation of the particle jet, or the most molten mass) and
// how many particles each step's spray has.
#pragma once

#include <QDialog>

#include "particles/injector_tuning.h"

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

namespace torvex::kavel {

class TuneDialog : public QDialog {
    Q_OBJECT
public:
    TuneDialog(QWidget* parent, const particles::TuneOptions& tune, int particlesPerStep);

    particles::TuneOptions options() const;
    int particlesPerStep() const;
    // Why the scan would be refused ("" when it is sound).
    QString problem() const;

    void accept() override;

private:
    void showScan();
    void showGoal();

    QComboBox* scan_ = nullptr;
    QDoubleSpinBox* from_ = nullptr;
    QDoubleSpinBox* to_ = nullptr;
    QSpinBox* steps_ = nullptr;
    QRadioButton* deviation_ = nullptr;
    QRadioButton* molten_ = nullptr;
    QDoubleSpinBox* target_ = nullptr;
    QSpinBox* particles_ = nullptr;
};

}  // namespace torvex::kavel
