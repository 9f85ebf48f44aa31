// Runs inside the core's module before it starts. The WebAssembly sits in the core's script as base64 text, so that
// the page works opened from disk too; left alone, the runtime hands that text to fetch() as one data: address of
// 800 KB, which on a slow phone costs about a third of a second before compiling even starts. Decoding the text
// directly gives the same bytes at once.
Module['instantiateWasm'] = function (imports, receiveInstance) {
    const bytes = typeof Uint8Array.fromBase64 === 'function'
        ? Uint8Array.fromBase64(wasmBinaryFile.slice(wasmBinaryFile.indexOf(',') + 1))
        : tryParseAsDataURI(wasmBinaryFile);
    WebAssembly.instantiate(bytes, imports)
        .then((result) => receiveInstance(result.instance, result.module), readyPromiseReject);
    return {};
};
