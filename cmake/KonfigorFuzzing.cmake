# libFuzzer builds. Included before the sources so that every library the fuzz targets link is
# instrumented too: coverage has to reach the core, not stop at the target's own file.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KONFIGOR_BUILD_FUZZ needs clang (libFuzzer); configure a separate folder "
                      "with -DCMAKE_CXX_COMPILER=clang++")
endif()
if(KONFIGOR_SANITIZE)
  message(FATAL_ERROR "KONFIGOR_BUILD_FUZZ brings its own sanitizers; leave KONFIGOR_SANITIZE empty")
endif()

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer,address,undefined")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer,address,undefined")
check_cxx_source_compiles([[
  #include <cstddef>
  #include <cstdint>
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] KONFIGOR_LIBFUZZER_LINKS)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT KONFIGOR_LIBFUZZER_LINKS)
  unset(KONFIGOR_LIBFUZZER_LINKS CACHE) # look again once the package is there
  message(FATAL_ERROR "clang cannot link -fsanitize=fuzzer; on Debian install libclang-rt-14-dev")
endif()

# -O1 over the build type's flags: fast enough to fuzz, and Debug keeps the assertions on.
add_compile_options(-O1 -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=all)
add_link_options(-fsanitize=address,undefined)

# Builds every fuzz target and nothing else: the fuzz folder has no use for the programs.
add_custom_target(fuzz_targets)

set(KONFIGOR_FUZZ_CORPUS_DIR "${CMAKE_CURRENT_LIST_DIR}/../fuzz/corpus")
cmake_path(NORMAL_PATH KONFIGOR_FUZZ_CORPUS_DIR)

# konfigor_add_fuzz_target(<name> SOURCES <files...> [LIBRARIES <targets...>]
#                          [DICTIONARY <file>])
#
# One libFuzzer executable. Its seed corpus, if any, is fuzz/corpus/<name>/. Every target is
# listed with its corpus and dictionary in <build>/fuzz/fuzz_targets.tsv, which scripts/check
# runs through.
function(konfigor_add_fuzz_target name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DICTIONARY" "SOURCES;LIBRARIES")
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "konfigor_add_fuzz_target(${name}): SOURCES missing")
  endif()
  set(_corpus "${KONFIGOR_FUZZ_CORPUS_DIR}/${name}")
  if(NOT IS_DIRECTORY "${_corpus}")
    set(_corpus "") # fuzzing then starts from nothing
  endif()
  set(_dictionary "")
  if(arg_DICTIONARY)
    cmake_path(ABSOLUTE_PATH arg_DICTIONARY BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
               OUTPUT_VARIABLE _dictionary)
  endif()

  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} konfigor_warnings)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)

  add_dependencies(fuzz_targets ${name})
  set_property(GLOBAL APPEND_STRING PROPERTY KONFIGOR_FUZZ_MANIFEST
               "${name}\t$<TARGET_FILE:${name}>\t${_corpus}\t${_dictionary}\n")
endfunction()

# Writes the list of fuzz targets; call once, after the last konfigor_add_fuzz_target().
function(konfigor_write_fuzz_manifest)
  get_property(_manifest GLOBAL PROPERTY KONFIGOR_FUZZ_MANIFEST)
  file(GENERATE OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/fuzz_targets.tsv" CONTENT "${_manifest}")
endfunction()
