# SORNEL_SANITIZE=address,undefined (or thread) instruments every target of this build.
if(SORNEL_SANITIZE)
    add_compile_options(-fsanitize=${SORNEL_SANITIZE} -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${SORNEL_SANITIZE})
endif()
