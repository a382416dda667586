#include "app/app.h"
#include "sys/process.h"

// The one application object.
CvsZEBApp theApp;

int main(int argc, char** argv) {
    sys::prepareProcess();
    return theApp.run(argc, argv);
}
