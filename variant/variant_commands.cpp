// Placeholder until the variant dialogs land.
#include "variant/variant_commands.h"
namespace torvex {
void openParameterInput(MainWindow&) {}
void openPreviousVariant(MainWindow&) {}
}
