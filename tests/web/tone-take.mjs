// Test recordings of a turntable playing a test tone, written as WAV files by the tests themselves: a
// phase-accumulated tone whose frequency carries the speed error and sine modulations, after a lead-in of silence,
// so that the truth of every figure is known.
import { writeFileSync } from 'node:fs';

// take: {rate, channels, toneHz, errorPercent, modulations: [{hz, peakPercent}], leadInSeconds, seconds, level,
// format: 'pcm16' | 'float'}
export function writeToneTake(path, take) {
    const { rate = 48000, channels = 1, toneHz = 3150, errorPercent = 0, modulations = [], leadInSeconds = 0,
            seconds = 20, level = 0.5, format = 'pcm16' } = take;
    const frames = Math.round((leadInSeconds + seconds) * rate);
    const bytesPerSample = format === 'float' ? 4 : 2;
    const data = Buffer.alloc(frames * channels * bytesPerSample);
    let phase = 0;
    for (let i = 0; i < frames; i++) {
        const t = i / rate - leadInSeconds;
        let x = 0;
        if (t >= 0) {
            let speed = 1 + errorPercent / 100;
            for (const m of modulations) speed += (m.peakPercent / 100) * Math.sin(2 * Math.PI * m.hz * t);
            phase += (2 * Math.PI * toneHz * speed) / rate;
            if (phase > 2 * Math.PI) phase -= 2 * Math.PI;
            x = level * Math.sin(phase);
        }
        for (let c = 0; c < channels; c++) {
            const at = (i * channels + c) * bytesPerSample;
            const v = c === 0 ? x : 0.8 * x;
            if (format === 'float') data.writeFloatLE(v, at);
            else data.writeInt16LE(Math.max(-32768, Math.min(32767, Math.round(v * 32767))), at);
        }
    }
    const header = Buffer.alloc(44);
    header.write('RIFF', 0);
    header.writeUInt32LE(36 + data.length, 4);
    header.write('WAVE', 8);
    header.write('fmt ', 12);
    header.writeUInt32LE(16, 16);
    header.writeUInt16LE(format === 'float' ? 3 : 1, 20);
    header.writeUInt16LE(channels, 22);
    header.writeUInt32LE(rate, 24);
    header.writeUInt32LE(rate * channels * bytesPerSample, 28);
    header.writeUInt16LE(channels * bytesPerSample, 32);
    header.writeUInt16LE(bytesPerSample * 8, 34);
    header.write('data', 36);
    header.writeUInt32LE(data.length, 40);
    writeFileSync(path, Buffer.concat([header, data]));
    return path;
}

