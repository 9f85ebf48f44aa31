// The page's state: the texts of its fields as typed, named as the settings, and the setup in the address. The
// texts go to the core as they are; what each printout takes of them, and how, the core decides.

export const $ = (id) => document.getElementById(id);

// Every field by its name: a choice by the button that is checked, a switch as on or off, the rest as typed.
export function fieldTexts() {
    const texts = {};
    for (const field of document.querySelectorAll('input[name], select[name]')) {
        if (field.type === 'radio') {
            if (field.checked) texts[field.name] = field.value;
        } else if (field.type === 'checkbox') {
            texts[field.name] = field.checked ? 'on' : '';
        } else {
            texts[field.name] = field.value;
        }
    }
    return texts;
}

// The fields that take text, by name.
const typedFields = () => [...document.querySelectorAll('input[name]:not([type=radio]):not([type=checkbox]), select[name]')];

export function makeState(core, defaults) {
    // A setting's default text, whichever command takes it ('' for none).
    const defaultOf = (name) => {
        for (const rules of Object.values(defaults.commands)) {
            const rule = rules.find((r) => r.name === name);
            if (rule) return rule.default;
        }
        return '';
    };
    const geometryDefault = defaultOf('geometry');
    const state = { defaultOf, geometryDefault, paperChosen: false };

    state.geometryChoice = () => fieldTexts().geometry || geometryDefault;

    // The browser language's region decides the paper, as the locale's territory does for the Linux tool.
    state.defaultPaper = () => {
        for (const tag of navigator.languages || [navigator.language]) {
            try {
                const region = new Intl.Locale(tag).maximize().region;
                if (region) return core.defaultPaper(region);
            } catch (error) {
                // An odd language tag says nothing about the paper.
            }
        }
        return core.defaultPaper('');
    };

    state.presetOfFields = (texts) =>
        defaults.presets.find((p) => p.inner === texts['inner-radius'] && p.outer === texts['outer-radius']);

    // Fields from the query, named as the settings; a preset fills the radii, an explicit radius wins.
    state.fillFromQuery = () => {
        const query = new URLSearchParams(location.search);
        const paperField = $('paper');
        for (const field of typedFields()) {
            if (field !== paperField) field.value = query.get(field.name) ?? defaultOf(field.name);
        }
        const preset = defaults.presets.find((p) => p.name === (query.get('preset') || '').toLowerCase());
        if (preset) {
            for (const [name, text] of [['inner-radius', preset.inner], ['outer-radius', preset.outer]]) {
                if (!query.has(name)) $(name).value = text;
            }
        }
        if (!['60', '50'].includes($('mains').value)) $('mains').value = defaultOf('mains');
        for (const box of document.querySelectorAll('details')) {
            if ([...box.querySelectorAll('[name]')].some((field) => query.has(field.name))) box.open = true;
        }
        // A link of the Linux tool's --nulls: the core reads it into the two fields.
        if (query.has('nulls')) {
            const nulls = core.nullFields(query.get('nulls'));
            $('inner-null').value = nulls.inner;
            $('outer-null').value = nulls.outer;
        }
        $('exact').checked = query.has('exact');
        const custom = ['nulls', 'inner-null', 'outer-null'].some((name) => query.has(name));
        const geometry = (custom ? 'custom' : query.get('geometry') || geometryDefault).toLowerCase();
        const button = document.querySelector(`input[name="geometry"][value="${CSS.escape(geometry)}"]`);
        (button || document.querySelector(`input[name="geometry"][value="${geometryDefault}"]`)).checked = true;
        const paper = (query.get('paper') || '').toLowerCase();
        state.paperChosen = defaults.papers.includes(paper);
        if (state.paperChosen) paperField.value = paper;
    };

    // The query of the current setup: only what differs from the defaults, a preset by its name; the paper only
    // when the user chose it, so that the recipient's own default serves otherwise.
    state.queryOfFields = () => {
        const query = new URLSearchParams();
        const texts = fieldTexts();
        const preset = state.presetOfFields(texts);
        const custom = texts.geometry === 'custom';
        for (const field of typedFields()) {
            const name = field.name;
            const text = texts[name];
            if (name === 'paper' || ((name === 'inner-null' || name === 'outer-null') && !custom)) continue;
            if (preset && (name === 'inner-radius' || name === 'outer-radius')) continue;
            // Custom null points go even empty: the link then opens on the custom geometry still.
            if (name === 'inner-null' || name === 'outer-null') {
                query.set(name, text);
                continue;
            }
            if (text !== defaultOf(name) && !(defaultOf(name) === '' && text.trim() === '')) query.set(name, text);
        }
        if (preset && (preset.inner !== defaultOf('inner-radius') || preset.outer !== defaultOf('outer-radius'))) {
            query.set('preset', preset.name);
        }
        if (!custom && texts.geometry !== geometryDefault) query.set('geometry', texts.geometry);
        if (texts.exact) query.set('exact', '');
        if (state.paperChosen) query.set('paper', texts.paper);
        return query.toString();
    };
    return state;
}
