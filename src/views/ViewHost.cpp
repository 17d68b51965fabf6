#include "views/ViewHost.h"

namespace qelt {

ViewHost& NullViewHost() {
    static InertViewHost host;
    return host;
}

}  // namespace qelt
