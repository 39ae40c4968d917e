# Writes sw.js into DIR from sw.js.in: each of the page's files with its SHA-256,
# which the worker checks every file it caches against, and a hash of them all,
# which names its cache; and page-files.txt, the same list, for whoever packs
# the page.
# Usage: cmake -DDIR=<build folder> -DTEMPLATE=<sw.js.in> -P make_service_worker.cmake
set(names index.html page.js toy.js keys.js link.js loop.js tally.js opener.js clip.js clip_maker.js mp4-muxer.js
  mp4-muxer.LICENSE.txt lincell.js lincell.wasm manifest.webmanifest icons/icon-32.png icons/icon-192.png icons/icon-512.png)
set(all "")
set(HASHES "")
foreach(name ${names})
  file(SHA256 ${DIR}/${name} hash)
  string(APPEND all "${hash}")
  if(HASHES)
    string(APPEND HASHES ", ")
  endif()
  string(APPEND HASHES "'${name}': '${hash}'")
endforeach()
string(REPLACE ";" "\n" page_files "${names}")
file(WRITE ${DIR}/page-files.txt "${page_files}\n")
string(SHA256 whole "${all}")
string(SUBSTRING "${whole}" 0 16 BUILD_HASH)
configure_file(${TEMPLATE} ${DIR}/sw.js @ONLY)
