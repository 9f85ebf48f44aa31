// The speed view: a recording decoded by the browser, the microphone through an AudioWorklet, or the phone's
// gyroscope, each fed to the core's meter as the samples come. Every figure, row, status and word comes from the
// core; this module only moves samples and draws what the core lays out.
import { $, fieldTexts } from './state.js';

// Frames handed to the core at a time when measuring a file, and how long the page works before it lets the browser
// draw and take input: a long recording neither freezes the page nor is copied whole.
const SpeedFileBlock = 1 << 16;
const SpeedWorkMs = 40;
// Live readings five times a second.
const SpeedLiveMs = 200;

// The microphone's samples, posted to the page in blocks of about 85 ms at 48 kHz with the frame they start at.
const SpeedTapSource = `
class SpeedTap extends AudioWorkletProcessor {
    constructor() { super(); this.block = new Float32Array(4096); this.filled = 0; this.first = 0; }
    flush() {
        if (this.filled) this.port.postMessage({ first: this.first, samples: this.block.slice(0, this.filled) });
        this.filled = 0;
    }
    process(inputs) {
        const samples = inputs[0] && inputs[0][0];
        if (!samples) return true;
        if (this.filled && currentFrame !== this.first + this.filled) this.flush();
        if (!this.filled) this.first = currentFrame;
        this.block.set(samples, this.filled);
        this.filled += samples.length;
        if (this.filled + samples.length > this.block.length) this.flush();
        return true;
    }
}
registerProcessor('speed-tap', SpeedTap);
`;

const speedPause = () => new Promise((resolve) => setTimeout(resolve, 0));

export function wireSpeed(core, downloads, timings) {
    let take = null; // the SpeedTake whose report is shown, kept for its chart and PDF
    let running = null; // {stop} of the microphone or gyroscope take going on
    timings.speed = { fileMs: [], liveChanges: 0, liveMs: [] };

    const settings = () => ({ rpm: $('speed-rpm').value, tone: $('speed-tone').value });
    const status = (text) => ($('speed-status').textContent = text);

    function showRows(rows) {
        $('speed-results').tBodies[0].replaceChildren(...rows.map((row) => {
            const tr = document.createElement('tr');
            tr.className = row.kind;
            const label = document.createElement('th');
            label.scope = 'row';
            label.textContent = row.label;
            const value = document.createElement('td');
            value.textContent = row.value;
            tr.append(label, value);
            return tr;
        }));
    }

    // The core's panels, laid out for the width of the chart's box, one below the other.
    const chartWidth = () => $('speed-chart').clientWidth;
    function drawSpeedChart(chart, label) {
        $('speed-chart').innerHTML = chart.panels.map((panel) => '<div class="panel">' +
            QuillmerePageDevice.chartPanelSvg(panel, chart.textPx, `${panel.title}. ${label}`) + '</div>').join('');
    }

    function forget() {
        take?.delete();
        take = null;
        $('speed-pdf').hidden = true;
        $('speed-accuracy').hidden = true;
        $('speed-trace-text').textContent = '';
        $('speed-chart').replaceChildren();
        showRows([]);
    }

    // The report of a finished take: its rows, its chart, the words for its trace; or why there is none.
    function showReport(finished) {
        const report = take.finish();
        window.quillmereSpeedJson = report.json;
        if (report.error) {
            status(report.error);
            showRows([]);
            $('speed-chart').replaceChildren();
            $('speed-trace-text').textContent = '';
        } else {
            status(finished);
            showRows(report.rows);
            $('speed-trace-text').textContent = report.traceText;
            drawSpeedChart(take.chart(chartWidth()), report.traceText);
            $('speed-pdf').hidden = false;
        }
        $('speed-spoken').textContent = report.error || `${report.rows[0].label} ${report.rows[0].value}`;
        document.documentElement.dataset.speedDone = String(Number(document.documentElement.dataset.speedDone || 0) + 1);
    }

    function setRunning(now) {
        running = now;
        $('speed-stop').hidden = !now;
        for (const id of ['speed-microphone', 'speed-gyro', 'speed-file']) $(id).disabled = Boolean(now);
        if (now) $('speed-stop').focus();
    }

    async function measureFile(file) {
        forget();
        const started = performance.now();
        const progress = $('speed-progress');
        status(`Reading ${file.name}`);
        try {
            const bytes = await file.arrayBuffer();
            const head = new Uint8Array(bytes, 0, Math.min(bytes.byteLength, 4096));
            // A WAV file the core reads itself, as the Linux tool does; any other the browser decodes, at the rate
            // its header gives where it gives one.
            const wav = core.wavLayout(head);
            let audio = null;
            if (!wav) audio = await new OfflineAudioContext(1, 1, core.recordingRate(head)).decodeAudioData(bytes);
            take = wav ? new core.SpeedTake(wav.rate, wav.channels, settings())
                : new core.SpeedTake(audio.sampleRate, audio.numberOfChannels, settings());
            if (take.refusal()) {
                status(take.refusal());
                return;
            }
            progress.value = 0;
            progress.hidden = false;
            let worked = performance.now();
            const breathe = async (done) => {
                if (performance.now() - worked > SpeedWorkMs) {
                    progress.value = done;
                    status(take.live(0).status);
                    await speedPause();
                    worked = performance.now();
                }
            };
            if (wav) {
                const all = new Uint8Array(bytes);
                progress.max = wav.end;
                for (let at = wav.start; at >= 0; at = take.feedWav(all, at, wav)) await breathe(at);
            } else {
                const planes = Array.from({ length: audio.numberOfChannels }, (_, c) => audio.getChannelData(c));
                progress.max = audio.length;
                for (let at = 0; at < audio.length; at += SpeedFileBlock) {
                    take.feed(planes.map((plane) => plane.subarray(at, at + SpeedFileBlock)));
                    await breathe(at);
                }
            }
            showReport(file.name);
        } catch (error) {
            status(`${file.name}: ${error.message}`);
        } finally {
            progress.hidden = true;
            timings.speed.fileMs.push(performance.now() - started);
        }
    }

    // Live readings of the take going on, and the one sentence for a screen reader once they settle.
    function showLive(view) {
        status(view.status);
        showRows(view.rows);
        if (view.chart) drawSpeedChart(view.chart, view.traceText);
        $('speed-trace-text').textContent = view.traceText || '';
        if (view.spoken && view.spoken !== $('speed-spoken').textContent) $('speed-spoken').textContent = view.spoken;
        timings.speed.dropped = view.dropped;
        const seen = JSON.stringify(view.rows);
        if (seen !== timings.speed.lastRows) {
            timings.speed.lastRows = seen;
            timings.speed.liveChanges++;
            timings.speed.liveMs.push(performance.now());
        }
    }

    async function startMicrophone() {
        forget();
        let stream;
        try {
            stream = await navigator.mediaDevices.getUserMedia({
                audio: { echoCancellation: false, noiseSuppression: false, autoGainControl: false },
            });
        } catch (error) {
            status(core.microphoneProblem(error.name || 'Error'));
            return;
        }
        const context = new AudioContext();
        const url = URL.createObjectURL(new Blob([SpeedTapSource], { type: 'text/javascript' }));
        try {
            await context.audioWorklet.addModule(url);
        } finally {
            URL.revokeObjectURL(url);
        }
        take = new core.SpeedTake(context.sampleRate, 1, settings());
        if (take.refusal()) {
            status(take.refusal());
            stream.getTracks().forEach((track) => track.stop());
            context.close();
            return;
        }
        const source = context.createMediaStreamSource(stream);
        const tap = new AudioWorkletNode(context, 'speed-tap', { numberOfOutputs: 0, channelCount: 1 });
        tap.port.onmessage = (event) => take.feedAt(event.data.first, [event.data.samples]);
        source.connect(tap);
        const timer = setInterval(() => showLive(take.live(chartWidth())), SpeedLiveMs);
        showLive(take.live(0));
        setRunning({
            stop() {
                clearInterval(timer);
                tap.port.onmessage = null;
                source.disconnect();
                stream.getTracks().forEach((track) => track.stop());
                context.close();
                showReport('');
            },
        });
    }

    async function startGyro() {
        forget();
        if (typeof DeviceMotionEvent === 'undefined') {
            status(core.gyroProblem('missing'));
            return;
        }
        if (typeof DeviceMotionEvent.requestPermission === 'function') {
            let answer = 'denied';
            try {
                answer = await DeviceMotionEvent.requestPermission();
            } catch (error) {
                // Refused, or asked outside a tap: the same answer for the user.
            }
            if (answer !== 'granted') {
                status(core.gyroProblem('denied'));
                return;
            }
        }
        const gyro = new core.GyroTake(settings());
        if (gyro.refusal()) {
            status(gyro.refusal());
            gyro.delete();
            return;
        }
        const motion = (event) => {
            const r = event.rotationRate;
            if (r) gyro.feed(r.alpha ?? NaN, r.beta ?? NaN, r.gamma ?? NaN, event.interval ?? NaN);
        };
        window.addEventListener('devicemotion', motion);
        const show = (view) => {
            status(view.status);
            showRows(view.rows);
            $('speed-accuracy').textContent = view.accuracy;
            $('speed-accuracy').hidden = false;
        };
        show(gyro.live());
        const timer = setInterval(() => show(gyro.live()), SpeedLiveMs);
        setRunning({
            stop() {
                clearInterval(timer);
                window.removeEventListener('devicemotion', motion);
                const report = gyro.finish();
                show({ status: report.error || '', rows: report.rows || [], accuracy: report.accuracy });
                $('speed-spoken').textContent = report.error || `${report.rows[0].label} ${report.rows[0].value}`;
                gyro.delete();
                document.documentElement.dataset.speedDone =
                    String(Number(document.documentElement.dataset.speedDone || 0) + 1);
            },
        });
    }

    async function downloadChart() {
        const line = $('speed-download-status');
        if (!take) return;
        try {
            const kit = await downloads.drawingKit();
            const recorded = take.pageOperations(fieldTexts(), kit.design);
            if (recorded.error) throw new Error(recorded.error);
            const bytes = await QuillmerePageDevice.toPdf(PDFLib, fontkit, kit.fonts, recorded);
            const link = document.createElement('a');
            link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/pdf' }));
            link.download = recorded.fileName;
            document.body.appendChild(link);
            link.click();
            link.remove();
            setTimeout(() => URL.revokeObjectURL(link.href), 60000);
            line.textContent = `${recorded.fileName} is ready.`;
        } catch (error) {
            line.textContent = `Not made: ${error.message}`;
        }
    }

    $('speed-file').addEventListener('change', (event) => {
        const file = event.target.files[0];
        if (file) measureFile(file);
    });
    $('speed-microphone').addEventListener('click', () => startMicrophone().catch((error) => status(error.message)));
    $('speed-gyro').addEventListener('click', () => startGyro().catch((error) => status(error.message)));
    $('speed-stop').addEventListener('click', () => {
        const now = running;
        setRunning(null);
        now?.stop();
        $('speed-microphone').focus();
    });
    $('speed-pdf').addEventListener('click', downloadChart);
    // The finished chart follows the layout's width.
    return {
        resize() {
            if (take && !running && !$('speed-pdf').hidden) {
                drawSpeedChart(take.chart(chartWidth()), $('speed-trace-text').textContent);
            }
        },
    };
}
