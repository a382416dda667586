#include "app/app.h"

// The one application object.
CvsZEBApp theApp;

int main(int argc, char** argv) { return theApp.run(argc, argv); }
