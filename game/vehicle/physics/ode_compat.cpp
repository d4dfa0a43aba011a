#include "game/vehicle/physics/ode_compat.h"

namespace ode_compat {

namespace {

// ODE's process-wide state: set up once, released when the process exits.
class OdeLibrary {
public:
    OdeLibrary() { dInitODE2(0); }
    ~OdeLibrary() { dCloseODE(); }
    OdeLibrary(const OdeLibrary&) = delete;
    OdeLibrary& operator=(const OdeLibrary&) = delete;
};

}  // namespace

void initialise() {
    static OdeLibrary library;
}

}  // namespace ode_compat
