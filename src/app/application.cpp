#include "app/application.h"

namespace korvane {

Application::Application()
    : codec_(GetACP()),
      services_{fileSystem_, codec_, dialogs_, shell_, clock_, comparer_, copier_, longWork_},
      windows_(settings_, services_)
{
}

}  // namespace korvane
