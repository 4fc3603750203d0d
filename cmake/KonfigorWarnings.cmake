# Warnings for our own targets only; third-party headers come in as SYSTEM includes.
add_library(konfigor_warnings INTERFACE)
target_compile_options(konfigor_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast
  -Wcast-align -Wconversion -Wnull-dereference -Wdouble-promotion
  -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations
  # g++ 12 also flags designated initialisers that leave members to their default member
  # initialisers, which is how our records are meant to be written.
  -Wno-missing-field-initializers)
if(KONFIGOR_WERROR)
  target_compile_options(konfigor_warnings INTERFACE -Werror)
endif()
