# Applied to every target of the tree so that the core library and the tests agree.
if(KONFIGOR_SANITIZE)
  list(JOIN KONFIGOR_SANITIZE "," _konfigor_sanitizers)
  add_compile_options(-fsanitize=${_konfigor_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_konfigor_sanitizers})
endif()
