// The program: the application object runs the main window; its end ends the process.
#include "CPanelApp.h"

int main(int argc, char** argv) {
    vellmark::CPanelApp app(argc, argv);
    return app.InitInstance();
}
