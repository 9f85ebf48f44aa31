// The fields: each one's reading note and checks beside it, as the core words them for the page.
import { $ } from './state.js';

// `fields` is the core's {name: {note, check, flagged}} for every field of the page.
export function showNotices(fields) {
    for (const [name, view] of Object.entries(fields)) {
        const note = $(name + '-note');
        const check = $(name + '-check');
        if (note) note.textContent = view.note;
        if (check) check.textContent = view.check;
        if ((note || check) && $(name)) $(name).setAttribute('aria-invalid', view.flagged ? 'true' : 'false');
    }
}

// A field being typed in is judged when the typing stops, not on its way there.
export function clearCheck(field) {
    const check = $(field.name + '-check');
    if (check && check.textContent !== '') {
        check.textContent = '';
        field.setAttribute('aria-invalid', 'false');
    }
}

// The calibration: the measured length gives the factor, worked out by the core, or its refusal beside it.
export function wireCalibration(core, pauseMs, changed) {
    for (const input of document.querySelectorAll('input[data-factor]')) {
        const judge = () => {
            const note = $(input.id + '-note');
            if (input.value.trim() === '') {
                note.textContent = '';
                input.setAttribute('aria-invalid', 'false');
                return;
            }
            const result = core.calibration(input.value);
            note.textContent = result.error || '';
            input.setAttribute('aria-invalid', result.error ? 'true' : 'false');
            if (result.factor) {
                $(input.dataset.factor).value = result.factor;
                changed();
            }
        };
        let timer = 0;
        input.addEventListener('input', () => {
            clearTimeout(timer);
            timer = setTimeout(judge, pauseMs);
        });
        input.addEventListener('change', () => {
            clearTimeout(timer);
            judge();
        });
    }
}

export function wirePresets(defaults, changed) {
    for (const button of document.querySelectorAll('button[data-preset]')) {
        // What records the preset is for and where its radii come from, as the core says it.
        button.title = defaults.presets.find((p) => p.name === button.dataset.preset).help;
        button.addEventListener('click', () => {
            const preset = defaults.presets.find((p) => p.name === button.dataset.preset);
            $('inner-radius').value = preset.inner;
            $('outer-radius').value = preset.outer;
            changed();
        });
    }
}
