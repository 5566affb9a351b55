// The script's parts (view/pagina/*.js, joined at build time in the order
// view/CMakeLists.txt gives) share this one function's scope.
(function () {
'use strict';

