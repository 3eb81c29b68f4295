# Warnings for every target of the project.
add_compile_options(-Wall -Wextra)
if(VRZ_WERROR)
  add_compile_options(-Werror)
endif()
