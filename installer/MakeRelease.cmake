# Collects the release artifacts into RELEASE_DIR: Ventiq-Setup-x64.exe, Ventiq-Setup-x86.exe, the
# portable zip of the 64-bit program and SHA256SUMS (the format sha256sum -c reads).
# Run by the "release" target with cmake -P; the variables come from installer/CMakeLists.txt.

# The x86 installer is built in its own tree; refresh it so both installers are of the same sources.
set(SETUP_X86 ${X86_TREE}/Ventiq-Setup-x86.exe)
if(EXISTS ${X86_TREE}/CMakeCache.txt)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${X86_TREE} --target installer RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "release: building the x86 installer in ${X86_TREE} failed")
    endif()
endif()
if(NOT EXISTS ${SETUP_X86})
    message(FATAL_ERROR "release: ${SETUP_X86} is missing. Build the x86 tree first:\n"
        "  cmake --preset windows-x86 && cmake --build --preset windows-x86")
endif()

file(REMOVE_RECURSE ${RELEASE_DIR})
file(MAKE_DIRECTORY ${RELEASE_DIR})
file(COPY ${SETUP_X64} ${SETUP_X86} DESTINATION ${RELEASE_DIR})

# The portable zip unpacks into one folder, the guardian beside the program. The program finds DList.cfg
# through WorkDir, which the README's installing section tells how to set by hand.
set(portable Ventiq-${VERSION}-x64)
set(staging ${RELEASE_DIR}/staging)
file(MAKE_DIRECTORY ${staging}/${portable}/docs)
file(COPY ${PROGRAM} ${GUARDIAN} ${CARD_LIST} ${LICENSE} ${README} DESTINATION ${staging}/${portable})
file(COPY ${CARD_LIST_FORMAT} DESTINATION ${staging}/${portable}/docs)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${RELEASE_DIR}/${portable}.zip --format=zip ${portable}
    WORKING_DIRECTORY ${staging} RESULT_VARIABLE result)
file(REMOVE_RECURSE ${staging})
if(NOT result EQUAL 0)
    message(FATAL_ERROR "release: writing ${portable}.zip failed")
endif()

set(sums "")
foreach(name Ventiq-Setup-x64.exe Ventiq-Setup-x86.exe ${portable}.zip)
    file(SHA256 ${RELEASE_DIR}/${name} hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${RELEASE_DIR}/SHA256SUMS "${sums}")
message(STATUS "release: ${RELEASE_DIR}")
