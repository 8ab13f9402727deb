// The program: one window, the flower quiz, on the desktop.
#include <cstdio>
#include <exception>
#include <memory>

#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/sdl/SdlPlatform.h"
#include "runtime/Cp1251.h"
#include "runtime/Exceptions.h"

using namespace anthora;

int main() {
  try {
    const std::unique_ptr<Platform> platform = CreateSdlPlatform();
    TApplication application(*platform);
    InitializeProgram(*platform);
    application.Title = "Anthora 1.0";
    {
      TForm1 form(nullptr);
      application.Run();
    }
    FinalizeProgram();
    return 0;
  } catch (const Exception& error) {
    std::fprintf(stderr, "Anthora: %s\n", Cp1251ToUtf8(error.Message()).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "Anthora: %s\n", error.what());
  }
  return 1;
}
