# Warnings for every target of ours; -Werror when ZQ_WERROR is on (CI turns it on).
# Qt, GoogleTest and Google Benchmark come in as imported targets, whose headers
# CMake passes as system headers (-isystem): their warnings do not count.
option(ZQ_WERROR "Treat compiler warnings as errors" OFF)

function(zq_set_compiler_options target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${ZQ_WERROR}>:/WX>)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast
                                                 -Wnon-virtual-dtor -Woverloaded-virtual -Wformat=2
                                                 $<$<BOOL:${ZQ_WERROR}>:-Werror>)
    endif()
endfunction()

# Qt targets cross between QString and bytes only where they say how.
function(zq_set_qt_options target)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_TO_ASCII QT_RESTRICTED_CAST_FROM_ASCII
                                                 QT_NO_CAST_FROM_BYTEARRAY QT_NO_KEYWORDS)
endfunction()
