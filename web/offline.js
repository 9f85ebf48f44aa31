// Keeps the site on the device once it has been opened, so that it reloads and makes every PDF without a network.
// A page opened from disk has no service worker and needs none: its files are already on the device.
if ('serviceWorker' in navigator && (location.protocol === 'https:' || location.protocol === 'http:')) {
    window.addEventListener('load', () => {
        navigator.serviceWorker.register('service-worker.js').catch(() => {
            // Without it the page still works; only the offline copy is missing.
        });
    });
}
