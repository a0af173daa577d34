# Windows version resources: the file properties of vendralith.exe and
# vendralith-profile.exe show the product, the program and the version, so an
# administrator can see what is installed on a monitoring host. Every build
# reads them back from the executables and fails when one is missing or wrong.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(VENDRALITH_PRODUCT_NAME "Vendralith")
# VERSIONINFO takes four numbers; those the project version leaves out are 0.
set(VENDRALITH_VERSION_NUMBERS "")
foreach(part IN ITEMS MAJOR MINOR PATCH TWEAK)
  set(number "${PROJECT_VERSION_${part}}")
  if(number STREQUAL "")
    set(number 0)
  endif()
  list(APPEND VENDRALITH_VERSION_NUMBERS ${number})
endforeach()
list(JOIN VENDRALITH_VERSION_NUMBERS "," VENDRALITH_VERSION_NUMBERS)

set(vendralith_resource_checks "")
function(vendralith_version_resource target description)
  set(VENDRALITH_RESOURCE_TARGET ${target})
  set(VENDRALITH_RESOURCE_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version_resource.rc.in
                 ${PROJECT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/${target}_version.rc)
  set(vendralith_resource_checks ${vendralith_resource_checks}
      "$<TARGET_FILE:${target}>=${description}" PARENT_SCOPE)
endfunction()

vendralith_version_resource(vendralith
  "Vendralith sensor for PRTG: SAP MaxDB log statistics")
vendralith_version_resource(vendralith-profile
  "Vendralith profile tool: passwords, profile checks")

add_custom_target(check-version-resources ALL
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/windows_version_resource.py
          --product ${VENDRALITH_PRODUCT_NAME} --version ${PROJECT_VERSION}
          ${vendralith_resource_checks}
  COMMENT "Checking the version resources of the Windows executables"
  VERBATIM)
add_dependencies(check-version-resources vendralith vendralith-profile)
