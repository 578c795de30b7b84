# SPDX-License-Identifier: MIT
# Writes the service worker of the built page: SITE/sw.js from TEMPLATE with
# the FILES of SITE to cache and a version taken from their contents, so that
# a browser replaces its cache exactly when a file changed.
# Usage: cmake -DSITE=DIR -DTEMPLATE=FILE -DFILES=a;b;... -P service_worker.cmake
set(files ${FILES})
list(SORT files)
set(hashes "")
set(ZT_WEB_FILES "'./'")
foreach(f ${files})
  file(SHA256 ${SITE}/${f} hash)
  string(APPEND hashes "${f} ${hash}\n")
  string(APPEND ZT_WEB_FILES ", '${f}'")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 ZT_WEB_VERSION)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
