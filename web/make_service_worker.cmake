# Writes sw.js into DIR from sw.js.in: the list of the page's files and a hash of
# all of them, so that each build's worker caches under a name of its own; and
# page-files.txt, the same list, for whoever packs the page.
# Usage: cmake -DDIR=<build folder> -DTEMPLATE=<sw.js.in> -P make_service_worker.cmake
set(names index.html page.js toy.js keys.js link.js loop.js lincell.js lincell.wasm manifest.webmanifest
  icons/icon-32.png icons/icon-192.png icons/icon-512.png)
set(all "")
set(FILES "'./'")
foreach(name ${names})
  file(SHA256 ${DIR}/${name} hash)
  string(APPEND all "${hash}")
  string(APPEND FILES ", '${name}'")
endforeach()
string(REPLACE ";" "\n" page_files "${names}")
file(WRITE ${DIR}/page-files.txt "${page_files}\n")
string(SHA256 whole "${all}")
string(SUBSTRING "${whole}" 0 16 BUILD_HASH)
configure_file(${TEMPLATE} ${DIR}/sw.js @ONLY)
