#include "cli/Commands.h"

#include <ostream>

namespace valvix::cli {

int RunFit(const Arguments& /*arguments*/, std::ostream& /*out*/, std::ostream& err) {
    err << "fit: not built yet\n";
    return 1;
}

} // namespace valvix::cli
