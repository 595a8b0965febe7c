#include "shell/startup.h"

int main(int argc, char *argv[])
{
    NirelApplication app(argc, argv);
    return shell::run(app);
}
