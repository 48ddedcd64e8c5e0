// Every text of the page, in Japanese (the desktop program's words where it has them) and
// English. Elements name their text with data-text="key"; the rest is filled in by code.

export const LANGUAGES = ['ja', 'en'];
export const DEFAULT_LANGUAGE = 'ja';

const TEXTS = {
  ja: {
    title: 'Pixorale',
    tagline: '画像を音楽に変換します',
    language: '言語',
    dropTitle: '画像を選ぶか、ここにドロップしてください',
    dropFormats: 'BMP・PNG・JPEG',
    privacy: '画像はこの端末の中だけで変換され、どこにも送信されません。',
    result: '結果',
    roll: 'ピアノロール',
    rollEmpty: '画像を選ぶと、ここに音符が表示されます',
    melody: 'メロディ',
    chordsTrack: '和音',
    play: '再生',
    stop: '停止',
    saveMid: 'MIDIファイルを保存',
    saveWav: 'WAVファイルを保存',
    command: 'コマンドライン',
    copy: 'コピー',
    copied: 'コピーしました',
    settings: '設定',
    preset: 'プリセット',
    presetCustom: 'カスタム',
    newSeed: '新しいシード',
    seedHint: '同じ画像・設定・シードからは同じ曲ができます。',
    about: 'Pixorale について',
    aboutText: 'Pixorale は画像から曲を作り、MIDIファイルにします。「音楽らしく」では画像全体の稜線や明るさから旋律を、色から和音を作り、拍子とフレーズのある一分ほどの曲にします。「デスクトップ版と同じ」では画像の列ごとに音符を作り、赤の値が音の高さに、青の値が次の音までの時間になります。',
    licenses: 'ライセンス',
    licenseSound: '音の再生',
    licenseSynth: 'シンセサイザー',
    licenseSoundFont: '音源',
    licensePictures: '画像の読み込み',
    licenseOptions: 'オプションの解析',
    licensePixorale: 'このページと変換処理',
    summary: '{notes}音・長さ {length}・音域 {low}～{high}・シード {seed}',
    starting: '変換の準備をしています…',
    converting: '変換しています…',
    soundDownload: '音源を読み込んでいます… {percent}%',
    soundDownloadUnknown: '音源を読み込んでいます…',
    soundPrepare: '音源を準備しています…',
    wavRender: 'WAVファイルを作成しています… {percent}%',
    wavWrite: 'WAVファイルを書き出しています…',
    wavTooLong: 'WAVファイルは{minutes}分までの曲で作れます',
    groupGeneral: '変換設定',
    groupMusical: '音楽らしく',
    groupHearAndSee: '楽器',
    low: '下限',
    high: '上限',
    rivalHint: '{other}とはどちらか一方です。空欄なら使いません。',
    listSeparator: '、',
    problemWhole: '{field}には{min}から{max}までの整数を入力してください',
    problemWholeFrom: '{field}には{min}以上の整数を入力してください',
    problemDecimal: '{field}には{min}より大きい数を入力してください',
    problemBounds: '{field}には{min}から{max}までの整数を下限と上限の両方に入力してください',
    problemChoice: '{field}を選んでください',
    wavFailed: 'WAVファイルを作れませんでした',
    dropTitleTouch: '画像を選ぶ',
    changePicture: '別の画像を選ぶ',
    view: '変換した画像。印のついた行から音を読み取ります',
    readPitch: '音の高さ（赤）',
    readTime: '次の音まで（青）',
    noteHelp: '画像かピアノロールの音をタップすると、音の名前と時刻、元になった画素を表示します。',
    noteInfo: '{note}（{track}）· {time} · 画素 ({x}, {y})',
    noteInfoColumns: '{note}（{track}）· {time} · {y}行目の{first}～{last}列',
    flatHint: 'すべての音が同じ高さです。音の高さは、印のついた行の赤の値で決まります。',
    stale: '前の設定の結果です',
    link: 'この曲のリンク',
    copyLink: 'リンクをコピー',
    linkHint: 'リンクには設定とシードだけが入り、画像は入りません。同じ画像を選ぶと同じ曲になります。',
    linkOpened: 'リンクの設定とシードにしました。曲を作るには画像「{name}」を選んでください。',
    linkOpenedNoName: 'リンクの設定とシードにしました。曲を作るには画像を選んでください。',
    moreSettings: 'その他の設定',
    'failure:usage': '設定を読み取れませんでした。',
    'failure:option-conflict': 'いっしょに使えない設定があります。どちらか一方にしてください。',
    'failure:missing-feature': 'このページではできない設定です。',
    'failure:unsupported-picture': '「{subject}」はこのページで読める画像ではありません。BMP・PNG・JPEGの画像を選んでください。',
    'failure:damaged-picture': '「{subject}」は壊れているため読み込めません。',
    'failure:not-true-colour': '「{subject}」はフルカラー（24ビットか32ビット）のBMPではありません。フルカラーのBMPか、PNG・JPEGで保存し直してください。',
    'failure:picture-too-large': '「{subject}」は大きすぎて変換できません。',
    'failure:unreadable-picture': '「{subject}」を読み込めませんでした。選んだ後にファイルが変更・移動・削除されていないか確かめて、もう一度選んでください。',
    'failure:write-failed': '曲を書き出せませんでした。もう一度お試しください。',
    'failure:out-of-memory': '変換に使えるメモリが足りません。「長さ」で曲を短くするか、小さい画像を選んでください。',
    'failure:core-failure': '変換中に問題が起きました。もう一度お試しください。',
    'failure:core-unavailable': '変換の仕組みを読み込めませんでした。ページを再読み込みしてください。',
    'failure:unknown': '変換できませんでした。',
    'warning:empty-range': '音域制限の上限が下限より大きくないため、音域は制限していません。',
    'warning:silent-sustain': 'サステインが0のため、どの音も鳴りません。',
    'warning:tempo-rounded': 'このテンポはMIDIファイルに正確には書けないため、書けるいちばん近いテンポにしました。',
    'warning:unused-option': 'ほかの設定との組み合わせで、使われない設定があります。',
    'warning:truncated-pixels': '「{subject}」は途中で切れています。足りない画素は黒として読みました。',
    'warning:one-note-too-long': '1つの音だけで最大の長さを超えるため、曲はその1音だけです。',
    'warning:unknown': '設定どおりにできなかったところがあります。',
    'sound:no-web-audio': 'このブラウザーでは音を再生できません',
    'sound:sound-load-failed': '音源を読み込めませんでした。通信を確かめて、もう一度お試しください。',
    'sound:unknown': '音を再生できませんでした。',
  },
  en: {
    title: 'Pixorale',
    tagline: 'Turns a picture into music',
    language: 'Language',
    dropTitle: 'Choose a picture or drop it here',
    dropFormats: 'BMP, PNG or JPEG',
    privacy: 'Pictures are converted on this device and sent nowhere.',
    result: 'Result',
    roll: 'Piano roll',
    rollEmpty: 'Choose a picture to see its notes here',
    melody: 'Melody',
    chordsTrack: 'Chords',
    play: 'Play',
    stop: 'Stop',
    saveMid: 'Save MIDI file',
    saveWav: 'Save WAV file',
    command: 'Command line',
    copy: 'Copy',
    copied: 'Copied',
    settings: 'Settings',
    preset: 'Preset',
    presetCustom: 'Custom',
    newSeed: 'New seed',
    seedHint: 'The same picture, settings and seed give the same song.',
    about: 'About Pixorale',
    aboutText: 'Pixorale makes a song of a picture and writes it as a MIDI file. Musical reads the melody from the whole picture, its skyline or its light, and chords from its colours, in bars and phrases, about a minute long. As the desktop program makes a note of every column: the red values give the pitches, the blue values the time to the next note.',
    licenses: 'Licences',
    licenseSound: 'Sound',
    licenseSynth: 'Synthesizer',
    licenseSoundFont: 'SoundFont',
    licensePictures: 'Picture decoding',
    licenseOptions: 'Option parsing',
    licensePixorale: 'This page and the conversion',
    summary: '{notes} notes · {length} · pitches {low} to {high} · seed {seed}',
    starting: 'Getting the converter ready…',
    converting: 'Converting…',
    soundDownload: 'Loading the sounds… {percent}%',
    soundDownloadUnknown: 'Loading the sounds…',
    soundPrepare: 'Preparing the sounds…',
    wavRender: 'Making the WAV file… {percent}%',
    wavWrite: 'Writing the WAV file…',
    wavTooLong: 'A WAV file can be made of songs up to {minutes} minutes long',
    groupGeneral: 'Conversion settings',
    groupMusical: 'Make it musical',
    groupHearAndSee: 'Instruments',
    low: 'Low',
    high: 'High',
    rivalHint: 'Either this or {other}; empty: not used.',
    listSeparator: ', ',
    problemWhole: '{field}: enter a whole number from {min} to {max}',
    problemWholeFrom: '{field}: enter a whole number of {min} or more',
    problemDecimal: '{field}: enter a number above {min}',
    problemBounds: '{field}: enter whole numbers from {min} to {max} as both low and high',
    problemChoice: '{field}: choose one',
    wavFailed: 'Could not make the WAV file',
    dropTitleTouch: 'Choose a picture',
    changePicture: 'Choose another picture',
    view: 'The picture converted, marked where its notes are read',
    readPitch: 'pitch (red)',
    readTime: 'time to next (blue)',
    noteHelp: 'Tap a note in the picture or the roll to see its name, its time and the pixel it came from.',
    noteInfo: '{note} ({track}) at {time} · pixel ({x}, {y})',
    noteInfoColumns: '{note} ({track}) at {time} · columns {first}–{last} of row {y}',
    flatHint: 'Every note has the same pitch: pitches come from the red values of the marked row.',
    stale: 'Result of the earlier settings',
    link: 'Link to this song',
    copyLink: 'Copy link',
    linkHint: 'The link holds the settings and the seed, never the picture: with the same picture it makes the same song.',
    linkOpened: 'The link\'s settings and seed are set: choose the picture "{name}" to make its song.',
    linkOpenedNoName: 'The link\'s settings and seed are set: choose the picture to make its song.',
    moreSettings: 'More settings',
    'failure:usage': 'The settings could not be read.',
    'failure:option-conflict': 'Some settings cannot go together: keep only one of them.',
    'failure:missing-feature': 'This page cannot do what a setting asks.',
    'failure:unsupported-picture': '{subject} is not a picture this page reads: choose a BMP, PNG or JPEG.',
    'failure:damaged-picture': '{subject} is damaged and cannot be read.',
    'failure:not-true-colour': '{subject} is not a full-colour (24- or 32-bit) BMP: save it in full colour, or as PNG or JPEG.',
    'failure:picture-too-large': '{subject} is too large to convert.',
    'failure:unreadable-picture': '{subject} could not be read: it may have been changed, moved or deleted since it was chosen. Please choose it again.',
    'failure:write-failed': 'The song could not be written. Please try again.',
    'failure:out-of-memory': 'Not enough memory for this conversion: make the song shorter with Length, or choose a smaller picture.',
    'failure:core-failure': 'Something went wrong while converting. Please try again.',
    'failure:core-unavailable': 'The converter could not be loaded. Please reload the page.',
    'failure:unknown': 'Could not convert.',
    'warning:empty-range': 'The pitch range\'s highest pitch is not above its lowest, so no range applies.',
    'warning:silent-sustain': 'With a sustain of 0 every note ends where it starts: nothing sounds.',
    'warning:tempo-rounded': 'A MIDI file cannot hold this tempo exactly; the nearest tempo it can hold is written.',
    'warning:unused-option': 'A setting does nothing with the others given.',
    'warning:truncated-pixels': '{subject} ends early: the missing pixels were read as black.',
    'warning:one-note-too-long': 'One note alone lasts longer than the maximum length, so the song has that one note.',
    'warning:unknown': 'Something could not be done quite as asked.',
    'sound:no-web-audio': 'This browser cannot play sound',
    'sound:sound-load-failed': 'Could not load the sounds. Check the connection and try again.',
    'sound:unknown': 'Could not play the sound.',
  },
};

// The text `key` in `language`, each {name} replaced by params.name.
export function text(language, key, params = {}) {
  const template = TEXTS[language]?.[key] ?? TEXTS[DEFAULT_LANGUAGE][key] ?? key;
  return template.replace(/\{(\w+)\}/g, (whole, name) => (name in params ? String(params[name]) : whole));
}

// Integers above this are no limit a person needs to be told of ("1 or more", not "1 to
// 4294967295").
const TOLD_MAXIMUM = 1000000n;

// The message for a value the converter refused: the option's name as the page labels it,
// with the limits the table gives.
export function valueProblemText(language, option) {
  const params = { field: option.label[language], min: option.min, max: option.max };
  if (option.kind === 'whole') {
    return text(language, BigInt(option.max) > TOLD_MAXIMUM ? 'problemWholeFrom' : 'problemWhole',
      params);
  }
  if (option.kind === 'decimal') return text(language, 'problemDecimal', params);
  if (option.kind === 'bounds') return text(language, 'problemBounds', params);
  return text(language, 'problemChoice', params);
}

// The groups of messages told by kind: a conversion's failures and warnings, the sound's.
export function hasMessage(language, group, kind) {
  return `${group}:${kind}` in TEXTS[language];
}

// The message for a failure or warning {kind, subject, text} of `group` ('failure',
// 'warning' or 'sound'), chosen by its kind; a kind without words of its own gets its group's
// general ones. A value the converter refused names the option as the page labels it, with
// the limits the table gives (`option`: the option its subject names, if any).
export function messageText(language, group, { kind, subject = '' }, option = null) {
  if (group === 'failure' && kind === 'option-value' && option?.label) {
    return valueProblemText(language, option);
  }
  const key = hasMessage(language, group, kind) ? `${group}:${kind}` : `${group}:unknown`;
  return text(language, key, { subject });
}

// Puts the texts of `language` into every element under `root` that names one.
export function applyTexts(root, language) {
  for (const element of root.querySelectorAll('[data-text]')) {
    element.textContent = text(language, element.dataset.text);
  }
  for (const element of root.querySelectorAll('[data-text-label]')) {
    element.setAttribute('aria-label', text(language, element.dataset.textLabel));
  }
}
