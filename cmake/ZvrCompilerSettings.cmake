# Warnings, log context and sanitizers shared by every target of the project.

add_compile_options(-Wall -Wextra -Wpedantic)
if(ZVR_WERROR)
    add_compile_options(-Werror)
endif()

# Log lines name their source file relative to the repository root in every build type.
add_compile_options("-fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=")
add_compile_definitions(QT_MESSAGELOGCONTEXT)

if(ZVR_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Applies the library's stricter Qt settings to one of its own targets.
function(zvr_strict_qt target)
    target_compile_definitions(${target} PRIVATE
        QT_NO_KEYWORDS
        QT_NO_CAST_FROM_ASCII
        QT_NO_CAST_TO_ASCII
        QT_NO_URL_CAST_FROM_STRING
        QT_USE_QSTRINGBUILDER)
endfunction()
