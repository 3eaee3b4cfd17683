// tessaly: the desktop. Opens the template named on the command line, if any.

#include "app/CVardelApp.h"

int main(int argc, char** argv) {
    tessaly::CVardelApp application(argc, argv);
    return application.Run();
}
