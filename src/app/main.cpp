#include "app/EbookApplication.h"
#include "app/StartUp.h"

int main(int argc, char **argv)
{
    EbookApplication app(argc, argv);
    return StartUp::run(app);
}
