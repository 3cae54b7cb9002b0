# Which folder of app/ may use which: a folder's sources must not include
# the headers of the folders listed against it. Run as
#   cmake -DAPP_DIR=<app folder> -P check_includes.cmake
# and it fails, naming every offending line, when one does.
if(NOT APP_DIR)
  message(FATAL_ERROR "APP_DIR is not set")
endif()

set(features acquisition alignment masking cli)
set(forbidden_platform workbench shell ${features})
set(forbidden_workbench shell ${features})
foreach(feature IN LISTS features)
  set(forbidden_${feature} shell)
endforeach()

set(offences "")
foreach(folder platform workbench ${features})
  file(GLOB_RECURSE sources "${APP_DIR}/${folder}/*.h" "${APP_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
      foreach(other IN LISTS forbidden_${folder})
        if(header MATCHES "^(\\.\\./)*${other}/")
          file(RELATIVE_PATH where "${APP_DIR}" "${source}")
          string(APPEND offences "\n  ${where}: ${folder} must not use ${other}: #include \"${header}\"")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(offences)
  message(FATAL_ERROR "Includes against the layout of app/:${offences}")
endif()
