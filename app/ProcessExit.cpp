#include "IProcessExit.h"

#include <cstdio>
#include <cstdlib>

namespace vellmark {
namespace {

class RuntimeExit : public IProcessExit {
public:
    void Exit(int status) override {
        std::fflush(nullptr);
        std::exit(status);
    }
};

IProcessExit* g_exit = nullptr;

} // namespace

IProcessExit& ProcessExit() {
    static RuntimeExit runtime;
    return g_exit ? *g_exit : runtime;
}

void SetProcessExit(IProcessExit* exit) {
    g_exit = exit;
}

} // namespace vellmark
