#include "variant/variant_commands.h"

#include "shell/main_window.h"
#include "variant/parameter_dialog.h"
#include "variant/previous_dialog.h"
#include "variant/run_dialog.h"

namespace torvex {

namespace {

// After a run: unp.dat records the units the variant in iop.par was made
// with. A run that failed before the nozzle exit wrote no iop.par; the
// earlier variant is still there, and so are its units.
void recordUnitsOfRun(MainWindow& main, bool integralParametersWritten) {
    main.readUnitFile(kUnitFile);
    if (integralParametersWritten) main.writeUnitFile(kPreviousUnitFile);
}

} // namespace

void openParameterInput(MainWindow& main) {
    for (;;) {
        const UnitCodes units = main.unitCodes();
        if (parameterTemplateName(units).empty()) return;  // codes of no dialog

        ParameterDialog input(main, units);
        if (input.exec() != QDialog::Accepted) return;

        RunDialog run(main, input.confirmedInputs());
        const int result = run.exec();
        if (result == kRunDialogBack) continue;  // a fresh input dialog
        if (result == kRunDialogRan) {
            recordUnitsOfRun(main, run.integralParametersWritten());
            // The program may have been ended meanwhile; then nothing more
            // is shown. A run that stopped before the nozzle exit left the
            // earlier variant in place: it is shown in its own units, but
            // the units the user chose stay in use.
            if (!main.closed()) {
                PreviousDialog previous(main, run.integralParametersWritten() ? VariantUnits::Adopt
                                                                               : VariantUnits::KeepUsersUnits);
                previous.exec();
            }
        }
        return;
    }
}

void openPreviousVariant(MainWindow& main) {
    // The variant is shown in the units the user chose; what the run fixed
    // keeps the run's units (the charts read those from unp.dat).
    PreviousDialog previous(main, VariantUnits::KeepUsersUnits);
    previous.exec();
}

} // namespace torvex
