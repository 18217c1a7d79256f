# What the Debian package must hold and declare.
# cmake -DPACKAGES=<folder with the .deb> -P CheckPackage.cmake
file(GLOB debs "${PACKAGES}/keyloom_*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one keyloom .deb in ${PACKAGES}, found: ${debs}")
endif()

execute_process(COMMAND dpkg-deb -f ${debs} Depends OUTPUT_VARIABLE depends RESULT_VARIABLE rc)
# Computed from the program's libraries, so the ones it links must be there.
foreach(library libqt6widgets6 libqt6network6 libhidapi-hidraw0 libudev1 libevdev2 libpugixml1v5 libc6)
  if(NOT rc EQUAL 0 OR NOT depends MATCHES "(^|, )${library}( |,|$)")
    message(FATAL_ERROR "Depends lacks ${library}: ${depends}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
foreach(file
    ./usr/bin/keyloom
    ./usr/share/keyloom/config.xml
    ./usr/share/keyloom/uires/uires.idx
    ./usr/share/applications/org.keyloom.keyloom.desktop
    ./usr/share/metainfo/org.keyloom.keyloom.metainfo.xml
    ./usr/share/icons/hicolor/scalable/apps/org.keyloom.keyloom.svg
    ./usr/share/icons/hicolor/48x48/apps/org.keyloom.keyloom.png
    ./usr/share/man/man1/keyloom.1.gz
    ./usr/lib/udev/rules.d/70-keyloom.rules)
  string(FIND "${listing}" " ${file}\n" at)
  if(NOT rc EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${file}")
  endif()
endforeach()

# The maintainer scripts reload udev; where udev does not run (as here, or
# in a chroot) they must still succeed.
set(control "${PACKAGES}/control")
file(REMOVE_RECURSE "${control}")
execute_process(COMMAND dpkg-deb -e ${debs} ${control} RESULT_VARIABLE rc)
foreach(script postinst postrm)
  if(NOT EXISTS "${control}/${script}")
    message(FATAL_ERROR "the package has no ${script}")
  endif()
endforeach()
file(MAKE_DIRECTORY "${control}/bin")
file(WRITE "${control}/bin/udevadm" "#!/bin/sh\necho \"udevadm $*\" >> \"${control}/udevadm.log\"\nexit 1\n")
file(CHMOD "${control}/bin/udevadm" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
foreach(call "postinst;configure" "postrm;remove" "postrm;purge")
  list(GET call 0 script)
  list(GET call 1 argument)
  execute_process(COMMAND env "PATH=${control}/bin:$ENV{PATH}" sh "${control}/${script}" ${argument}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${script} ${argument} failed (${rc}) with udevadm failing")
  endif()
endforeach()
